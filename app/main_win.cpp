// Program entry: product identity, splash, the main window and the message loop. A GPS log
// named on the command line ("Open with", a double-clicked .gps file) is replayed at start, at
// the speed and from the time its switches give.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
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

std::string Ansi(LPCWSTR text) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), n, nullptr, nullptr);
  ansi.resize(std::strlen(ansi.c_str()));
  return ansi;
}

// The path as a full path (as the file dialogs give it); unchanged when that fails. Nothing is
// cut: the engine refuses a path too long.
std::string FullPath(const std::string& given) {
  const DWORD size = GetFullPathNameA(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return given;
  std::string full(size, '\0');
  const DWORD length = GetFullPathNameA(given.c_str(), size, full.data(), nullptr);
  return length > 0 && length < size ? full.substr(0, length) : given;
}

// The command line's switches and log, in the ANSI code page; nothing when it is refused.
std::optional<ProgramArguments> CommandLineArguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return ProgramArguments{};
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) {
    if (argv[i][0] != L'\0') args.push_back(Ansi(argv[i]));
  }
  LocalFree(argv);
  std::optional<ProgramArguments> parsed = ParseProgramArguments(args);
  if (parsed && !parsed->log.empty()) parsed->log = FullPath(parsed->log);
  return parsed;
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
  args.arguments = CommandLineArguments();
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
