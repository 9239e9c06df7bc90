// The common file dialogs that pick a GPS log to replay or name one to record, as plain data:
// the Win32 side shows them with GetOpenFileNameA / GetSaveFileNameA (FileDialog_win.cpp).
// Portable.
#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// Options of a file dialog; the Win32 side maps each to its OFN_ flag.
enum FileDialogOption : unsigned {
  kHideReadOnly = 1,     // OFN_HIDEREADONLY
  kPathMustExist = 2,    // OFN_PATHMUSTEXIST
  kFileMustExist = 4,    // OFN_FILEMUSTEXIST
  kOverwritePrompt = 8,  // OFN_OVERWRITEPROMPT
};

struct FileDialogRequest {
  bool save = false;  // GetSaveFileNameA rather than GetOpenFileNameA
  std::string title;
  // Pairs of description and pattern, each followed by "|", the list ended by a second "|".
  std::string filter;
  std::string defaultExtension;  // added to a name typed without one
  std::string fileName;          // the name the dialog starts with
  unsigned options = 0;          // FileDialogOption bits
};

// The filter as the common dialogs read it: every "|" becomes a NUL, and the text ends in two
// NULs whatever the given filter ends with.
std::string CommonDialogFilter(std::string_view filter);

}  // namespace pelmora
