// Program entry: product identity, splash, the main window and the message loop. A GPS log
// named on the command line ("Open with", a double-clicked .gps file) is replayed at start.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/MainWindow_win.h"
#include "app/ResourceStringTable_win.h"
#include "app/dde/DdeSession_win.h"
#include "app/dde/DdeStartup.h"
#include "app/engine/NavlibEngine_win.h"
#include "app/settings/ProductInfo.h"
#include "app/settings/RegistryOptionBackend_win.h"
#include "hvndlg32/hvndlg32.h"

namespace pelmora {
namespace {

constexpr char kSplashText[] =
    "The Pelmora - Version 3.2\r\r                Special MapInfo Edition";
constexpr char kTitle[] = "The Pelmora";

// The first command-line argument as a full path in the ANSI code page (as the file dialogs
// give it); empty when there is none. Nothing is cut: the engine refuses a path too long.
std::string CommandLineLog() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return {};
  std::string path;
  if (count >= 2 && args[1][0] != L'\0') {
    const int n = WideCharToMultiByte(CP_ACP, 0, args[1], -1, nullptr, 0, nullptr, nullptr);
    std::string given(static_cast<size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, args[1], -1, given.data(), n, nullptr, nullptr);
    given.resize(std::strlen(given.c_str()));
    path = given;
    const DWORD size = GetFullPathNameA(given.c_str(), 0, nullptr, nullptr);
    if (size > 0) {
      std::string full(size, '\0');
      const DWORD length = GetFullPathNameA(given.c_str(), size, full.data(), nullptr);
      if (length > 0 && length < size) path = full.substr(0, length);
    }
  }
  LocalFree(args);
  return path;
}

int RunProgram(HINSTANCE instance) {
  SelectProduct(kPelmoraProductId);
  HVNDialogSplash(kSplashText);
  // One DDEML instance for the server and the client link, and the service registered, before
  // the main window exists; without them the program does not start.
  UINT ddeError = 0;
  const std::unique_ptr<dde::DdeSession> dde =
      dde::DdeSession::Start(dde::ProgramServiceName(), &ddeError);
  if (dde == nullptr) {
    MessageBoxA(nullptr, dde::DdeStartupMessage(ddeError).c_str(), kTitle, MB_OK | MB_ICONERROR);
    return 0;
  }
  NavlibEngine engine;
  ResourceStringTable strings;
  RegistryOptionBackend options;
  MainWindowArgs args;
  args.instance = instance;
  args.engine = &engine;
  args.strings = &strings;
  args.options = &options;
  args.link = &dde->Link();
  args.ddeServer = &dde->Server();
  args.title = kTitle;
  args.replayLog = CommandLineLog();
  MainWindow window(args);
  if (!window.Create()) return 0;
  return window.Run();
}

}  // namespace
}  // namespace pelmora

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return pelmora::RunProgram(instance);
  } catch (...) {
    return 1;
  }
}
