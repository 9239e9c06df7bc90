// netprobe: drives a running pelmora.exe for the fix server's system test, from outside as a
// user would: "wait" until the main window shows, "toggle" Options > Share Fix on Network,
// "message" waits for a message box, prints its text and presses OK, "close" closes the main
// window. Exit code 0 when the step succeeded.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/ControlIds.h"
#include "tests/system/support/WindowProbe_win.h"

namespace {

using namespace std::chrono_literals;
using pelmora::systest::WaitFor;

HWND MainWindow() {
  return FindWindowW(L"TMainForm", nullptr);
}

// A visible message box (dialog class) of any process.
HWND MessageBoxWindow() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND h, LPARAM out) -> BOOL {
        wchar_t cls[32] = {};
        GetClassNameW(h, cls, 32);
        if (std::wcscmp(cls, L"#32770") == 0 && IsWindowVisible(h)) {
          *reinterpret_cast<HWND*>(out) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string step = argc > 1 ? argv[1] : "";
  if (step == "wait") {
    return WaitFor([] { return MainWindow() != nullptr && IsWindowVisible(MainWindow()); }, 20s)
               ? 0
               : 1;
  }
  HWND main = MainWindow();
  if (main == nullptr) {
    std::puts("no main window");
    return 1;
  }
  if (step == "toggle")
    return PostMessageW(main, WM_COMMAND, pelmora::IDM_OptionsShareFix, 0) ? 0 : 1;
  if (step == "close") return PostMessageW(main, WM_CLOSE, 0, 0) ? 0 : 1;
  if (step == "message") {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = MessageBoxWindow()) != nullptr; }, 10s)) return 1;
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("%s\n", text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  std::puts("usage: netprobe wait|toggle|message|close");
  return 2;
}
