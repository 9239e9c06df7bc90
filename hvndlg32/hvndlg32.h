// hvndlg32.dll: the maker's splash and About dialogs. Undecorated C exports (hvndlg32.def).
// Texts are 8-bit Windows-1252, zero-terminated.
#pragma once

#if defined(_WIN32) && defined(HVNDLG32_BUILD)
#define HVNDLG32_API extern "C" __declspec(dllexport)
#elif defined(_WIN32)
#define HVNDLG32_API extern "C" __declspec(dllimport)
#else
#define HVNDLG32_API extern "C"
#endif

// Shows text in a small borderless window centred on the screen and returns at once; the window
// closes itself after about 1.5 s, or earlier on a click. It lives on the calling thread's
// message loop. A CR, LF or CR LF breaks the line.
HVNDLG32_API void HVNDialogSplash(const char* text);

// The modal About box: product name, the version text held in versionBuffer (256 bytes,
// zero-terminated) and an OK button. Returns when the box is closed.
HVNDLG32_API void HVNDialogAbout(const char* productName, char* versionBuffer);
