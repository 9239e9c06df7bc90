// The main window's Win32 side: class, fixed client area, menu bar, accelerators, Timer1 and
// the routing of messages to TMainForm.
#include "app/MainWindow_win.h"

#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include <shellapi.h>

#include "app/ControlIds.h"
#include "app/FileDialog_win.h"
#include "app/HelpTopics.h"
#include "app/format/RegionalTimeFormat_win.h"
#include "app/settings/AppDirectory.h"
#include "app/settings/ProductInfo.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/DialogWindow_win.h"
#include "app/ui/WindowObject_win.h"
#include "app/workbench/AccuracySettings.h"
#include "hvndlg32/hvndlg32.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

constexpr wchar_t kMainClass[] = L"TMainForm";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1IntervalMs = 1000;
constexpr int kClientWidth = 307;
constexpr int kClientHeight = 326;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

}  // namespace

MainWindow::MainWindow(const MainWindowArgs& args)
    : args_(args),
      store_(*args.options, GetProductName()),
      fixControl_(fixHost_.server(), store_),
      model_(*this, *args.engine, *args.strings, *args.link),
      playerBar_(*args.engine, model_.Modes(), model_.Player(), model_.Macros(), [this] {
        if (hwnd_ != nullptr && renderer_ != nullptr) renderer_->Apply();
        if (workbench_ != nullptr) workbench_->Refresh();
      }) {
  ddeItems_.server = args_.ddeServer;
  model_.SetFollowers(args_.ddeServer != nullptr ? &ddeItems_ : nullptr, &fixControl_);
  // The accuracy session gathers from the start, under the reference and gates last chosen.
  workbench::ApplyAccuracySettings(workbench::LoadAccuracySettings(store_),
                                   model_.Workbench().Bench().accuracy());
}

MainWindow::~MainWindow() {
  if (args_.ddeServer != nullptr) args_.ddeServer->SetMacroActions(nullptr);
  workbench_.reset();
  renderer_.reset();
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
  if (background_ != nullptr) DeleteObject(background_);
}

bool MainWindow::Create() {
  background_ = CreateSolidBrush(RGB(192, 192, 192));
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = args_.instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = background_;
  wc.lpszClassName = kMainClass;
  if (RegisterClassW(&wc) == 0) return false;

  RECT rc = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&rc, kStyle, TRUE, 0);
  const std::wstring title = ui::ToWide(args_.title);
  hwnd_ = CreateWindowExW(0, kMainClass, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, args_.instance,
                          this);
  if (hwnd_ == nullptr) return false;
  FitClientArea();
  std::vector<std::pair<int, int>> playerKeys;
  for (const CtrlKey& key : kPlayerKeys)
    playerKeys.emplace_back(key.virtualKey, key.commandId);
  accelerators_ = renderer_->BuildAccelerators(IDM_NextView, playerKeys);
  // The window exists: the server serves HVN from now on.
  if (args_.ddeServer != nullptr) {
    args_.ddeServer->SetMacroActions(&model_.Macros(), [this] {
      if (hwnd_ != nullptr && renderer_ != nullptr) renderer_->Apply();
    });
  }
  const bool created = model_.FormCreate();
  if (created) model_.StartFromCommandLine(args_.arguments);
  if (created && renderer_ != nullptr) renderer_->Apply();
  return created;
}

int MainWindow::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (hwnd_ != nullptr && accelerators_ != nullptr &&
        TranslateAcceleratorW(hwnd_, accelerators_, &msg) != 0) {
      continue;
    }
    if (workbench_ != nullptr && workbench_->PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

// The menu bar may take more or less height than AdjustWindowRectEx assumed: measure the real
// client area and correct the window size until it is exactly 307 x 326.
void MainWindow::FitClientArea() {
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT client, window;
    GetClientRect(hwnd_, &client);
    GetWindowRect(hwnd_, &window);
    const int dw = kClientWidth - (client.right - client.left);
    const int dh = kClientHeight - (client.bottom - client.top);
    if (dw == 0 && dh == 0) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + dw,
                 window.bottom - window.top + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MainWindow* self = ui::WindowObject(hwnd, msg, lp, &MainWindow::hwnd_);
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    return 0;  // nothing escapes a window procedure
  }
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_TIMER:
      if (wp == kTimer1) OnTimer();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          renderer_->OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_DRAWITEM:
      renderer_->OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_DESTROY:
      StopTimer();
      workbench_.reset();
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void MainWindow::OnCreate() {
  renderer_ = std::make_unique<ui::FormRenderer>(model_.Form(), hwnd_, args_.instance);
  SetMenu(hwnd_, renderer_->BuildMenuBar());
  renderer_->Create();
  timerRunning_ = SetTimer(hwnd_, kTimer1, kTimer1IntervalMs, nullptr) != 0;
}

void MainWindow::OnCommand(int id, int code) {
  // Menu items (0), accelerators (1) and button clicks; a double click on an owner-drawn
  // button arrives as BN_DOUBLECLICKED instead of a second BN_CLICKED.
  if (code != 0 && code != 1 && code != BN_DOUBLECLICKED) return;
  model_.Command(id);
  if (hwnd_ != nullptr && renderer_ != nullptr) renderer_->Apply();
}

void MainWindow::OnTimer() {
  model_.Timer1_Timer();
  if (hwnd_ != nullptr && renderer_ != nullptr) renderer_->Apply();
  if (workbench_ != nullptr) workbench_->Refresh();
}

void MainWindow::OnClose() {
  model_.FormClose();
}

std::string MainWindow::AppDirectory() {
  return GetAppDirectory();
}

StartupOptions MainWindow::LoadOptions() {
  return LoadStartupOptions(store_, GetAppDirectory());
}

void MainWindow::StoreStartPosition(double latitudeDegrees, double longitudeDegrees) {
  pelmora::StoreStartPosition(store_, latitudeDegrees, longitudeDegrees);
}

HWND MainWindow::Owner() const {
  if (HWND dialog = ui::ActiveModalDialog()) return dialog;
  return hwnd_ != nullptr && IsWindowVisible(hwnd_) ? hwnd_ : nullptr;
}

void MainWindow::ShowInformation(const std::string& text, const std::string& caption) {
  MessageBoxW(Owner(), ui::ToWide(text).c_str(), ui::ToWide(caption).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

void MainWindow::ShowError(const std::string& text) {
  MessageBoxW(Owner(), ui::ToWide(text).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

void MainWindow::ShowModal(ui::Dialog& dialog) {
  HWND owner = ui::ActiveModalDialog();
  ui::RunModalDialog(dialog, owner != nullptr ? owner : hwnd_, args_.instance);
  if (hwnd_ != nullptr && renderer_ != nullptr) renderer_->Apply();
}

// WinHelpA for a pelmora.hlp beside the program; otherwise the HTML page in the browser. The
// Windows help engine reports a help file it cannot show; a page that does not open (the help
// folder missing, no browser) is named in a message so that the user can open it himself.
void MainWindow::ShowHelp(int context) {
  const std::string& helpFile = model_.Help().HelpFilePath();
  const DWORD attributes = GetFileAttributesA(helpFile.c_str());
  const bool present =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  const HelpAction action = ResolveHelp(helpFile, present, GetAppDirectory(), context);
  if (action.winHelp) {
    WinHelpA(Owner(), action.path.c_str(), action.command, action.data);
    return;
  }
  // ShellExecuteA's result above 32 means success.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(Owner(), "open", action.path.c_str(), nullptr, nullptr, SW_SHOW));
  if (result <= 32) {
    ShowInformation(Text(IDS_HelpPageFailed) + "\r\n" + action.path, "Information");
  }
}

std::string MainWindow::Text(int id) {
  return args_.strings->Get(id);
}

void MainWindow::ShellOpen(const std::string& address) {
  ShellExecuteA(Owner(), "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void MainWindow::ShowWorkbench() {
  if (workbench_ == nullptr)
    workbench_ =
        std::make_unique<WorkbenchWindow>(args_.instance, model_.Workbench(), store_, playerBar_);
  workbench_->Show();
}

void MainWindow::ShowAbout(const std::string& productName, const std::string& versionText) {
  std::array<char, 256> buffer{};
  std::strncpy(buffer.data(), versionText.c_str(), buffer.size() - 1);
  HVNDialogAbout(productName.c_str(), buffer.data());
}

void MainWindow::SetTopmost(bool on) {
  SetWindowPos(hwnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::ShowMainWindow() {
  RECT window;
  GetWindowRect(hwnd_, &window);
  const int w = window.right - window.left;
  const int h = window.bottom - window.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (renderer_ != nullptr) renderer_->Apply();
  ShowWindow(hwnd_, showMinimised_ ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

bool MainWindow::EnableMainWindow(bool on) {
  if (hwnd_ == nullptr) return true;
  // EnableWindow answers non-zero when the window was disabled before.
  return EnableWindow(hwnd_, on ? TRUE : FALSE) == 0;
}

void MainWindow::StopTimer() {
  if (timerRunning_ && hwnd_ != nullptr) KillTimer(hwnd_, kTimer1);
  timerRunning_ = false;
}

void MainWindow::ShowProgress() {
  if (hwnd_ == nullptr || renderer_ == nullptr) return;
  renderer_->Apply();
  UpdateWindow(hwnd_);
  // The pending messages but the timer's: the poll cycle waits for the end of the export.
  MSG msg;
  for (const auto& [first, last] :
       {std::pair<UINT, UINT>{0, WM_TIMER - 1}, {WM_TIMER + 1, 0xFFFFFFFF}}) {
    while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

std::optional<std::string> MainWindow::ChooseFile(const FileDialogRequest& request) {
  return ShowFileDialog(Owner(), request);
}

WallClockTime MainWindow::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return WallClockTime{now.wMinute, now.wSecond};
}

void MainWindow::Beep() {
  MessageBeep(0);
}

LongTimeFormat MainWindow::UserLongTimeFormat() {
  return ReadUserLongTimeFormat();
}

void MainWindow::CloseMainWindow() {
  if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::Terminate() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  } else {
    PostQuitMessage(0);
  }
}

}  // namespace pelmora
