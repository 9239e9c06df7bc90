// What the system tests need to drive pelmora.exe from outside its process, as a user or a
// screen reader would: start it, find its windows, read a control's text by id, wait until a
// condition holds.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace pelmora::systest {

using namespace std::chrono_literals;

inline std::wstring ProgramDirectory() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path);
  return p.substr(0, p.find_last_of(L'\\'));
}

inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = 10s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(20ms);
  }
  return condition();
}

struct Process {
  PROCESS_INFORMATION info{};
  // Starts pelmora.exe of directory, in that directory, with the arguments given.
  bool Start(const std::wstring& directory, const std::wstring& arguments = L"") {
    std::wstring command = L"\"" + directory + L"\\pelmora.exe\"";
    if (!arguments.empty()) command += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.c_str(), &si, &info) != 0;
  }
  // The exit code, or STILL_ACTIVE when it has not ended within the timeout.
  DWORD WaitExit(DWORD timeoutMs) {
    if (info.hProcess == nullptr) return STILL_ACTIVE;
    WaitForSingleObject(info.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
  void End() {
    if (info.hProcess == nullptr) return;
    if (WaitExit(0) == STILL_ACTIVE) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    info = {};
  }
};

// The top-level window of a process with the given class (and title, when given).
inline HWND FindProcessWindow(DWORD pid, const wchar_t* className, const wchar_t* title) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
  } search{pid, className, title, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t cls[64] = {}, text[128] = {};
        GetClassNameW(hwnd, cls, 64);
        GetWindowTextW(hwnd, text, 128);
        if (owner == s->pid && lstrcmpW(cls, s->className) == 0 &&
            (s->title == nullptr || lstrcmpW(text, s->title) == 0)) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A child at any depth with the control id.
inline HWND FindControl(HWND top, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      top,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetDlgCtrlID(hwnd) == s->id) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::wstring TextOf(HWND hwnd) {
  if (hwnd == nullptr) return L"<no window>";
  wchar_t buffer[512] = {};
  DWORD_PTR n = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, &n);
  return std::wstring(buffer, n);
}

// The children at any depth whose window class is cls (case-insensitive), in Z order.
inline std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* cls) {
  struct Search {
    const wchar_t* cls;
    std::vector<HWND> found;
  } search{cls, {}};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, s->cls) == 0) s->found.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The text of a message box: its longest static child (the other one holds the icon).
inline std::wstring BoxMessage(HWND box) {
  std::wstring message;
  for (HWND child : ChildrenOfClass(box, L"Static")) {
    std::wstring text = TextOf(child);
    if (text.size() > message.size()) message = std::move(text);
  }
  return message;
}

// The rows of a list view, read from outside.
inline int ListViewCount(HWND list) {
  DWORD_PTR n = 0;
  if (SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &n) == 0) return -1;
  return static_cast<int>(n);
}

// The text of a list view cell, read from outside: LVM_GETITEMTEXTW is not carried between
// processes, so its item and text buffer are placed in the list's own process.
inline std::wstring ListViewCell(HWND list, int item, int subItem) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return L"<no process>";
  constexpr int kChars = 256;
  const SIZE_T size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
  auto* remote =
      static_cast<BYTE*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  std::wstring text = L"<unreadable>";
  if (remote != nullptr) {
    LVITEMW cell{};
    cell.iSubItem = subItem;
    cell.cchTextMax = kChars;
    cell.pszText = reinterpret_cast<wchar_t*>(remote + sizeof cell);
    DWORD_PTR n = 0;
    wchar_t buffer[kChars] = {};
    if (WriteProcessMemory(process, remote, &cell, sizeof cell, nullptr) &&
        SendMessageTimeoutW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote),
                            SMTO_ABORTIFHUNG, 2000, &n) != 0 &&
        ReadProcessMemory(process, remote + sizeof cell, buffer, sizeof buffer, nullptr)) {
      text.assign(buffer, std::min<std::size_t>(n, kChars - 1));
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

inline std::wstring Widen(const std::string& cp1252) {
  std::wstring out;
  for (unsigned char c : cp1252)
    out.push_back(static_cast<wchar_t>(c));  // Latin-1 range only
  return out;
}

}  // namespace pelmora::systest
