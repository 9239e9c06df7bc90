// The modal dialog window: class, placement, the nested message loop and the routing of the
// controls' clicks, selections, text changes and arrows to the dialog model.
#include "app/ui/DialogWindow_win.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "app/ui/FormRenderer_win.h"
#include "app/ui/WindowObject_win.h"

namespace pelmora::ui {
namespace {

constexpr wchar_t kDialogClass[] = L"PelmoraDialog";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The dialogs running, innermost last.
std::vector<HWND>& OpenDialogs() {
  static std::vector<HWND> open;
  return open;
}

class DialogWindow {
 public:
  DialogWindow(Dialog& dialog, HINSTANCE instance) : dialog_(dialog), instance_(instance) {}

  bool Create(HWND owner);
  void Run(HWND owner);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnCommand(int id, int code, HWND control);
  LRESULT OnNotify(const NMHDR& header);
  void AfterEvent();

  Dialog& dialog_;
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<FormRenderer> renderer_;
};

bool DialogWindow::Create(HWND owner) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  // The button face of the controls' colours (192, 192, 192), as on the main window.
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wc.lpszClassName = kDialogClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered

  RECT rc = {0, 0, dialog_.ClientSize().width, dialog_.ClientSize().height};
  AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  const std::wstring caption = ToWide(dialog_.Caption());
  hwnd_ = CreateWindowExW(kExStyle, kDialogClass, caption.c_str(), kStyle, left, top, width, height,
                          owner, nullptr, instance_, this);
  return hwnd_ != nullptr;
}

void DialogWindow::Run(HWND owner) {
  OpenDialogs().push_back(hwnd_);
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (owner != nullptr) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  if (HWND focus = renderer_ != nullptr && !dialog_.FocusControl().empty()
                       ? renderer_->WindowOf(dialog_.GetForm().Get(dialog_.FocusControl()))
                       : nullptr) {
    SetFocus(focus);
  }
  MSG msg;
  while (!dialog_.Closed() && hwnd_ != nullptr && IsWindow(hwnd_)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
      break;
    }
    if (IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The owner takes the activation back before the dialog goes.
  if (owner != nullptr && IsWindow(owner) && ownerWasEnabled) EnableWindow(owner, TRUE);
  OpenDialogs().pop_back();
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK DialogWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DialogWindow* self = ui::WindowObject(hwnd, msg, lp, &DialogWindow::hwnd_);
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    return 0;  // nothing escapes a window procedure
  }
}

LRESULT DialogWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      renderer_ = std::make_unique<FormRenderer>(dialog_.GetForm(), hwnd_, instance_);
      renderer_->Create();
      return 0;
    case DM_GETDEFID: {
      const int id = dialog_.DefaultButtonId();
      return id != 0 ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_HELP:
      dialog_.Help();
      AfterEvent();
      return TRUE;
    case WM_CLOSE:
      dialog_.Dismiss();
      AfterEvent();
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          renderer_->OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_DESTROY:
      renderer_.reset();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void DialogWindow::OnCommand(int id, int code, HWND control) {
  if (renderer_ == nullptr) return;
  if (control == nullptr || id == IDOK || id == IDCANCEL) {
    // Enter without a default button, and Escape.
    if (id == IDOK) dialog_.Confirm();
    if (id == IDCANCEL) dialog_.Dismiss();
  } else if (code == BN_CLICKED) {
    dialog_.Event(id, ControlEvent::Click);
  } else if (code == CBN_SELCHANGE) {
    const LRESULT index = SendMessageW(control, CB_GETCURSEL, 0, 0);
    dialog_.Select(id, static_cast<int>(index));
  } else if (code == EN_CHANGE) {
    renderer_->ReadText(control);
  }
  AfterEvent();
}

LRESULT DialogWindow::OnNotify(const NMHDR& header) {
  if (header.code != static_cast<UINT>(UDN_DELTAPOS) || renderer_ == nullptr) return 0;
  const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
  if (Control* spin = renderer_->SpinEditOfArrows(header.hwndFrom)) {
    dialog_.Spin(spin->Id(), change.iDelta > 0 ? 1 : -1);
    AfterEvent();
  }
  return 1;  // the arrows keep their own position; the model holds the value
}

void DialogWindow::AfterEvent() {
  if (renderer_ != nullptr && hwnd_ != nullptr) renderer_->Apply();
}

}  // namespace

void RunModalDialog(Dialog& dialog, HWND owner, HINSTANCE instance) {
  DialogWindow window(dialog, instance);
  if (!window.Create(owner)) return;
  window.Run(owner);
}

HWND ActiveModalDialog() {
  const std::vector<HWND>& open = OpenDialogs();
  return open.empty() ? nullptr : open.back();
}

}  // namespace pelmora::ui
