// Drives pelmora.exe's windows from outside the process, one command per run, for the dialogs'
// system test: menu commands, finding a window by caption, reading every child (id, class,
// state, text), clicks, list selections, keys and text, the main window's labels, and a
// stand-in browser that records what it was asked to open.
//   command ID                 post WM_COMMAND ID to the main window (class TMainForm)
//   wait CAPTION [SECONDS]     wait for a top-level window with that caption; print its geometry
//   gone CAPTION [SECONDS]     wait until no window has that caption
//   dump CAPTION               the window's children: id|class|visible|enabled|checked|text
//   click CAPTION ID           post BM_CLICK to the child with that id (ID or ID:CLASS)
//   select CAPTION ID INDEX    select a list entry as the user does (CB_SETCURSEL, CBN_SELCHANGE)
//   key CAPTION ID VK          post a key press (down and up) to the child
//   focuskey CAPTION VK        post a key press to the focused control of the window's thread
//   settext CAPTION ID TEXT    set a child's text (WM_SETTEXT; an edit reports EN_CHANGE)
//   point CAPTION ID [up|down] the screen point at the child's centre, or at the upper or lower
//                              arrow of the spin edit with that id (for real mouse clicks)
//   label ID                   the text of the main window's control with that id
//   close CAPTION              post WM_CLOSE
//   record FILE ARG...         append the arguments as one line to FILE (a browser stand-in)
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/system/support/WindowProbe_win.h"

namespace {

using namespace std::chrono_literals;
using pelmora::systest::TextOf;

std::string Narrow(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return out;
}

std::wstring Widen(const char* s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, out.data(), n);
  out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return out;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  return cls;
}

HWND FindTop(const std::wstring& caption) {
  struct Search {
    const std::wstring* caption;
    HWND found;
  } search{&caption, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (IsWindowVisible(hwnd) && TextOf(hwnd) == *s->caption) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindMain() {
  return FindWindowW(L"TMainForm", nullptr);
}

HWND WaitTop(const std::wstring& caption, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (true) {
    if (HWND h = FindTop(caption)) return h;
    if (std::chrono::steady_clock::now() > end) return nullptr;
    std::this_thread::sleep_for(50ms);
  }
}

std::vector<HWND> Children(HWND top) {
  std::vector<HWND> out;
  EnumChildWindows(
      top,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

// A child by id, or by "id:class" where several children share an id (the common dialogs).
HWND Child(HWND top, const std::string& wanted) {
  const size_t colon = wanted.find(':');
  const int id = std::atoi(wanted.substr(0, colon).c_str());
  const std::wstring cls =
      colon == std::string::npos ? L"" : Widen(wanted.substr(colon + 1).c_str());
  for (HWND h : Children(top)) {
    if (GetDlgCtrlID(h) == id && (cls.empty() || lstrcmpiW(ClassOf(h).c_str(), cls.c_str()) == 0)) {
      return h;
    }
  }
  return nullptr;
}

// What a child shows: a list its selected entry and item count, a button its check state.
void DumpChild(HWND h) {
  const std::wstring cls = ClassOf(h);
  std::wstring text = TextOf(h);
  char state[64] = "-";
  if (lstrcmpiW(cls.c_str(), L"Button") == 0) {
    const LONG style = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    if (style == BS_AUTORADIOBUTTON || style == BS_AUTOCHECKBOX) {
      std::snprintf(state, sizeof state, "%d", SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
  }
  if (lstrcmpiW(cls.c_str(), L"ComboBox") == 0) {
    const LRESULT sel = SendMessageW(h, CB_GETCURSEL, 0, 0);
    const LRESULT count = SendMessageW(h, CB_GETCOUNT, 0, 0);
    std::snprintf(state, sizeof state, "items=%lld,sel=%lld", static_cast<long long>(count),
                  static_cast<long long>(sel));
    text.clear();
    if (sel >= 0) {
      wchar_t item[256] = {};
      SendMessageW(h, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(item));
      text = item;
    }
  }
  if (lstrcmpiW(cls.c_str(), L"Edit") == 0) {
    const bool readOnly = (GetWindowLongW(h, GWL_STYLE) & ES_READONLY) != 0;
    std::snprintf(state, sizeof state, "%s", readOnly ? "readonly" : "writable");
  }
  RECT rc;
  GetWindowRect(h, &rc);
  MapWindowPoints(nullptr, GetAncestor(h, GA_ROOT), reinterpret_cast<POINT*>(&rc), 2);
  std::printf("%d|%s|%d|%d|%s|%ld,%ld,%ld,%ld|%s\n", GetDlgCtrlID(h), Narrow(cls).c_str(),
              IsWindowVisible(h) ? 1 : 0, IsWindowEnabled(h) ? 1 : 0, state, rc.left, rc.top,
              rc.right - rc.left, rc.bottom - rc.top, Narrow(text).c_str());
}

void PostKey(HWND target, WPARAM vk) {
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

int Fail(const char* what) {
  std::fprintf(stderr, "dialog_probe: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) return Fail("no command");
  const std::string cmd = argv[1];
  const auto arg = [&](int i) { return i < argc ? argv[i] : ""; };
  if (cmd == "record") {
    std::FILE* f = std::fopen(arg(2), "a");
    if (f == nullptr) return Fail("cannot write the record file");
    for (int i = 3; i < argc; ++i)
      std::fprintf(f, "%s%s", i > 3 ? " " : "", argv[i]);
    std::fprintf(f, "\n");
    std::fclose(f);
    return 0;
  }
  if (cmd == "command") {
    HWND main = FindMain();
    if (main == nullptr) return Fail("no main window");
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(std::atoi(arg(2)), 0), 0);
    return 0;
  }
  if (cmd == "label") {
    HWND main = FindMain();
    HWND h = main != nullptr ? Child(main, arg(2)) : nullptr;
    if (h == nullptr) return Fail("no such control");
    std::printf("%s\n", Narrow(TextOf(h)).c_str());
    return 0;
  }
  const std::wstring caption = Widen(arg(2));
  if (cmd == "wait") {
    HWND h = WaitTop(caption, argc > 3 ? std::atof(arg(3)) : 10.0);
    if (h == nullptr) return Fail("window did not appear");
    RECT window, client;
    GetWindowRect(h, &window);
    GetClientRect(h, &client);
    HWND owner = GetWindow(h, GW_OWNER);
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    std::printf(
        "class=%s\nwindow=%ld,%ld,%ld,%ld\nclient=%ld,%ld\nowner=%s\nscreen=%d,%d\n"
        "sizable=%d\nownerEnabled=%d\n",
        Narrow(ClassOf(h)).c_str(), window.left, window.top, window.right - window.left,
        window.bottom - window.top, client.right, client.bottom,
        owner != nullptr ? Narrow(TextOf(owner)).c_str() : "", GetSystemMetrics(SM_CXSCREEN),
        GetSystemMetrics(SM_CYSCREEN), (style & WS_THICKFRAME) != 0 ? 1 : 0,
        owner != nullptr && IsWindowEnabled(owner) ? 1 : 0);
    return 0;
  }
  if (cmd == "gone") {
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::duration<double>(argc > 3 ? std::atof(arg(3)) : 10.0);
    while (FindTop(caption) != nullptr) {
      if (std::chrono::steady_clock::now() > end) return Fail("window still there");
      std::this_thread::sleep_for(50ms);
    }
    return 0;
  }
  HWND top = FindTop(caption);
  if (top == nullptr) return Fail("no window with that caption");
  if (cmd == "dump") {
    for (HWND h : Children(top))
      DumpChild(h);
    return 0;
  }
  if (cmd == "close") {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
  }
  if (cmd == "focuskey") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info);
    PostKey(info.hwndFocus != nullptr ? info.hwndFocus : top, std::strtoul(arg(3), nullptr, 0));
    return 0;
  }
  HWND child = Child(top, arg(3));
  if (child == nullptr) return Fail("no child with that id");
  if (cmd == "click") {
    PostMessageW(child, BM_CLICK, 0, 0);
  } else if (cmd == "select") {
    const int index = std::atoi(arg(4));
    SendMessageW(child, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(child));
  } else if (cmd == "key") {
    PostKey(child, std::strtoul(arg(4), nullptr, 0));
  } else if (cmd == "point") {
    const std::string arrow = arg(4);
    HWND target = child;
    if (!arrow.empty()) {
      target = GetWindow(child, GW_HWNDNEXT);  // the up-down window follows its edit
      if (target == nullptr || ClassOf(target) != UPDOWN_CLASSW) return Fail("no arrows");
    }
    RECT rc;
    GetWindowRect(target, &rc);
    const long x = (rc.left + rc.right) / 2;
    const long height = rc.bottom - rc.top;
    const long y = arrow == "up"     ? rc.top + height / 4
                   : arrow == "down" ? rc.bottom - height / 4
                                     : (rc.top + rc.bottom) / 2;
    std::printf("%ld %ld\n", x, y);
  } else if (cmd == "settext") {
    const std::wstring text = Widen(arg(4));
    SendMessageW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  } else {
    return Fail("unknown command");
  }
  return 0;
}
