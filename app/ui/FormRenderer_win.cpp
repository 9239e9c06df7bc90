// Child windows, colours and custom painting of a ui::Form.
#include "app/ui/FormRenderer_win.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/ui/Cp1252.h"

namespace pelmora::ui {
namespace {

constexpr wchar_t kPanelClass[] = L"PelmoraPanel";
constexpr wchar_t kRendererProp[] = L"PelmoraRenderer";
constexpr wchar_t kButtonProcProp[] = L"PelmoraButtonProc";
constexpr int kPictureSize = 16;
// A spin edit's arrows stand at its right end, inside its bounds.
constexpr int kSpinArrowWidth = 16;
// The open list of a drop-down list, below its field.
constexpr int kDropDownHeight = 200;
// The arrows' own position never moves (each step is cancelled and applied to the model), so a
// wide range keeps them from stopping at an end.
constexpr int kSpinArrowRange = 1000000;

bool ShowsText(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::ComboBox:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
    case ControlKind::Edit:
    case ControlKind::SpinEdit:
      return true;
    default:
      return false;
  }
}

// The bounds of a control's own window: a spin edit leaves room for its arrows, a drop-down
// list's window holds its open list too.
Rect WindowBounds(const Control& c) {
  Rect b = c.Bounds();
  if (c.Kind() == ControlKind::SpinEdit) b.width = std::max(0, b.width - kSpinArrowWidth);
  if (c.Kind() == ControlKind::ComboBox) b.height += kDropDownHeight;
  return b;
}

FormRenderer* RendererOf(HWND hwnd) {
  return static_cast<FormRenderer*>(GetPropW(hwnd, kRendererProp));
}

// Lines of a raised (light top-left) or lowered (dark top-left) bevel, width pixels deep.
void DrawBevel(HDC dc, RECT rc, Bevel bevel, int width) {
  if (bevel == Bevel::None) return;
  const COLORREF light = RGB(255, 255, 255);
  const COLORREF dark = RGB(128, 128, 128);
  const COLORREF topLeft = bevel == Bevel::Raised ? light : dark;
  const COLORREF bottomRight = bevel == Bevel::Raised ? dark : light;
  for (int i = 0; i < width; ++i) {
    HBRUSH tl = CreateSolidBrush(topLeft);
    HBRUSH br = CreateSolidBrush(bottomRight);
    RECT top = {rc.left, rc.top, rc.right - 1, rc.top + 1};
    RECT left = {rc.left, rc.top, rc.left + 1, rc.bottom - 1};
    RECT bottom = {rc.left, rc.bottom - 1, rc.right, rc.bottom};
    RECT right = {rc.right - 1, rc.top, rc.right, rc.bottom};
    FillRect(dc, &top, tl);
    FillRect(dc, &left, tl);
    FillRect(dc, &bottom, br);
    FillRect(dc, &right, br);
    DeleteObject(tl);
    DeleteObject(br);
    InflateRect(&rc, -1, -1);
  }
}

void FillRgb(HDC dc, int left, int top, int width, int height, COLORREF colour) {
  RECT rc = {left, top, left + width, top + height};
  HBRUSH b = CreateSolidBrush(colour);
  FillRect(dc, &rc, b);
  DeleteObject(b);
}

}  // namespace

namespace {

// The pause sign: two bars 3 px wide and 9 px high, 2 px apart, centred in 16 x 16.
void DrawPausePicture(HDC dc, int x, int y, bool enabled) {
  const int barWidth = 3, barHeight = 9, gap = 2;
  const int left = x + (kPictureSize - (2 * barWidth + gap)) / 2;
  const int top = y + (kPictureSize - barHeight) / 2;
  if (!enabled) {
    // Embossed grey version: a white shadow one pixel down-right under grey bars.
    FillRgb(dc, left + 1, top + 1, barWidth, barHeight, RGB(255, 255, 255));
    FillRgb(dc, left + barWidth + gap + 1, top + 1, barWidth, barHeight, RGB(255, 255, 255));
  }
  const COLORREF colour = enabled ? RGB(0, 0, 0) : RGB(128, 128, 128);
  FillRgb(dc, left, top, barWidth, barHeight, colour);
  FillRgb(dc, left + barWidth + gap, top, barWidth, barHeight, colour);
}

// Three stacked pages, cyan at the back, then white, then yellow, each outlined in black.
void DrawNextViewPicture(HDC dc, int x, int y, bool enabled) {
  const COLORREF fills[] = {RGB(0, 255, 255), RGB(255, 255, 255), RGB(255, 255, 0)};
  const POINT origins[] = {{6, 1}, {3, 5}, {0, 9}};
  HPEN pen = CreatePen(PS_SOLID, 1, enabled ? RGB(0, 0, 0) : RGB(128, 128, 128));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  for (int i = 0; i < 3; ++i) {
    HBRUSH brush = CreateSolidBrush(enabled ? fills[i] : RGB(192, 192, 192));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, x + origins[i].x, y + origins[i].y, x + origins[i].x + 10, y + origins[i].y + 7);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

}  // namespace

void DrawButtonPicture(HDC dc, Picture picture, int x, int y, bool enabled) {
  if (picture == Picture::Pause) DrawPausePicture(dc, x, y, enabled);
  if (picture == Picture::NextView) DrawNextViewPicture(dc, x, y, enabled);
}

COLORREF ToColorRef(const Color& color) {
  if (color.windowText) return GetSysColor(COLOR_WINDOWTEXT);
  return RGB(color.r, color.g, color.b);
}

std::wstring ToWide(const std::string& cp1252) {
  const std::u16string u = Cp1252ToUtf16(cp1252);
  return std::wstring(u.begin(), u.end());
}

FormRenderer::FormRenderer(Form& form, HWND host, HINSTANCE instance)
    : form_(form), host_(host), instance_(instance) {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kPanelClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  form_.SetRepaintHandler([this] { RepaintNow(); });
}

FormRenderer::~FormRenderer() {
  form_.SetRepaintHandler(nullptr);
  for (auto& [hwnd, control] : controls_) {
    if (IsWindow(hwnd)) RemovePropW(hwnd, kRendererProp);
  }
  for (auto& [key, font] : fonts_)
    DeleteObject(font);
  for (auto& [key, brush] : brushes_)
    DeleteObject(brush);
}

void FormRenderer::Create() {
  SetPropW(host_, kRendererProp, this);
  // Parents come before their children in the form, so every parent window exists already.
  // Keyboard groups: a run of radio buttons in one container is one group; every other control
  // starts a group of its own.
  std::map<const Control*, ControlKind> lastKind;
  for (const auto& c : form_.Controls()) {
    auto last = lastKind.find(c->Parent());
    const bool group = c->Kind() != ControlKind::RadioButton || last == lastKind.end() ||
                       last->second != ControlKind::RadioButton;
    lastKind[c->Parent()] = c->Kind();
    CreateWindowFor(*c, group);
  }
  Apply();
}

HWND FormRenderer::ParentWindow(const Control& control) const {
  if (control.Parent() == nullptr) return host_;
  return WindowOf(*control.Parent());
}

HWND FormRenderer::WindowOf(const Control& control) const {
  auto it = windows_.find(&control);
  return it == windows_.end() ? nullptr : it->second;
}

// Painted here; the children's messages are passed on like a panel's.
void FormRenderer::SubclassGroupBox(HWND box) {
  auto old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProc)));
  SetPropW(box, kButtonProcProp, reinterpret_cast<HANDLE>(old));
}

// The up-down window right of a spin edit's bounds, its buddy the edit.
void FormRenderer::AttachSpinArrows(Control& spinEdit, HWND edit, const Rect& b, HWND parent) {
  HWND arrows = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                b.left + b.width, b.top, kSpinArrowWidth, b.height, parent, nullptr,
                                instance_, nullptr);
  if (arrows == nullptr) return;
  SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessageW(arrows, UDM_SETRANGE32, static_cast<WPARAM>(-kSpinArrowRange), kSpinArrowRange);
  SendMessageW(arrows, UDM_SETPOS32, 0, 0);
  // Steps of one however long an arrow is held.
  UDACCEL accel{0, 1};
  SendMessageW(arrows, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  spinArrows_[&spinEdit] = arrows;
  arrowsOf_[arrows] = &spinEdit;
}

void FormRenderer::CreateWindowFor(Control& c, bool group) {
  if (c.Kind() == ControlKind::Shape) return;  // painted by its container
  const Rect b = WindowBounds(c);
  const DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (group ? WS_GROUP : 0);
  // Tab visits every control that takes input; a radio group once, at its first button.
  const DWORD tab = group ? WS_TABSTOP : 0;
  const std::wstring text = ToWide(c.Caption());
  HWND parent = ParentWindow(c);
  HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.Id()));
  const auto create = [&](DWORD exStyle, const wchar_t* cls, DWORD style) {
    return CreateWindowExW(exStyle, cls, text.c_str(), style, b.left, b.top, b.width, b.height,
                           parent, id, instance_, nullptr);
  };
  HWND hwnd = nullptr;
  switch (c.Kind()) {
    case ControlKind::Label: {
      DWORD style = common | SS_NOPREFIX;
      if (c.GetAlignment() == Alignment::Center) {
        style |= SS_CENTER;
      } else {
        style |= c.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP;
      }
      hwnd = create(0, L"STATIC", style);
      break;
    }
    case ControlKind::Panel:
      hwnd = create(0, kPanelClass, common | WS_CLIPCHILDREN);
      break;
    case ControlKind::GroupBox:
      // A control parent: dialog keys reach the controls inside.
      hwnd = create(WS_EX_CONTROLPARENT, L"BUTTON", common | WS_CLIPCHILDREN | BS_GROUPBOX);
      if (hwnd != nullptr) SubclassGroupBox(hwnd);
      break;
    case ControlKind::Button:
      if (c.GetPicture() != Picture::None) {
        hwnd = create(0, L"BUTTON", common | WS_TABSTOP | BS_OWNERDRAW);
      } else {
        hwnd = create(0, L"BUTTON",
                      common | WS_TABSTOP | (c.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
      }
      break;
    case ControlKind::ComboBox:
      hwnd = create(0, L"COMBOBOX", common | tab | WS_VSCROLL | CBS_DROPDOWNLIST);
      break;
    case ControlKind::RadioButton:
      hwnd = create(0, L"BUTTON", common | tab | BS_AUTORADIOBUTTON);
      break;
    case ControlKind::CheckBox:
      hwnd = create(0, L"BUTTON", common | tab | BS_AUTOCHECKBOX);
      break;
    case ControlKind::Edit:
      hwnd = create(WS_EX_CLIENTEDGE, L"EDIT", common | tab | ES_AUTOHSCROLL);
      break;
    case ControlKind::SpinEdit: {
      // Read-only: the value changes by the arrows and the Up and Down keys only.
      hwnd = create(WS_EX_CLIENTEDGE, L"EDIT", common | tab | ES_AUTOHSCROLL | ES_READONLY);
      if (hwnd != nullptr) AttachSpinArrows(c, hwnd, b, parent);
      break;
    }
    case ControlKind::Shape:
      break;
  }
  if (hwnd == nullptr) return;
  SetPropW(hwnd, kRendererProp, this);
  windows_[&c] = hwnd;
  controls_[hwnd] = &c;
  shownText_[&c] = c.Caption();
  // Fonts and everything else follow from the first Apply.
}

void FormRenderer::Apply() {
  for (Control* c : form_.DirtyControls())
    ApplyControl(*c);
  HMENU menu = GetMenu(host_);
  if (menu != nullptr) {
    for (MenuItem* item : form_.DirtyMenuItems()) {
      CheckMenuItem(menu, item->commandId,
                    MF_BYCOMMAND | (item->checked ? MF_CHECKED : MF_UNCHECKED));
      EnableMenuItem(menu, item->commandId,
                     MF_BYCOMMAND | (item->enabled ? MF_ENABLED : MF_GRAYED));
    }
  }
  form_.ClearDirty();
}

void FormRenderer::ApplyControl(Control& c) {
  if (c.Kind() == ControlKind::Shape) {
    // Repaint the shape's area of its container.
    if (c.Parent() == nullptr) return;
    HWND parent = WindowOf(*c.Parent());
    const Rect& b = c.Bounds();
    RECT rc = {b.left - 1, b.top - 1, b.left + b.width + 1, b.top + b.height + 1};
    if (parent != nullptr) InvalidateRect(parent, &rc, TRUE);
    return;
  }
  HWND hwnd = WindowOf(c);
  if (hwnd == nullptr) return;
  auto shownFont = shownFont_.find(&c);
  if (shownFont == shownFont_.end() || !(shownFont->second == c.GetFont())) {
    if (ShowsText(c.Kind())) {
      SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.GetFont())), FALSE);
    }
    shownFont_[&c] = c.GetFont();
  }
  if (c.Kind() == ControlKind::ComboBox) {
    ApplyItems(hwnd, c);
  } else {
    std::string& shown = shownText_[&c];
    if (shown != c.Caption()) {
      SetWindowTextW(hwnd, ToWide(c.Caption()).c_str());
      shown = c.Caption();
    }
  }
  if (c.Kind() == ControlKind::RadioButton || c.Kind() == ControlKind::CheckBox) {
    SendMessageW(hwnd, BM_SETCHECK, c.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  if (HWND arrows = ArrowsOf(c)) {
    EnableWindow(arrows, c.Enabled() ? TRUE : FALSE);
    ShowWindow(arrows, c.Visible() ? SW_SHOWNA : SW_HIDE);
    const Rect a = c.Bounds();
    SetWindowPos(arrows, nullptr, a.left + a.width - kSpinArrowWidth, a.top, kSpinArrowWidth,
                 a.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Rect b = WindowBounds(c);
  if (c.AutoSize() && c.Kind() == ControlKind::Label) {
    const SIZE size = MeasureText(c);
    b.width = size.cx;
    b.height = size.cy;
  }
  RECT now;
  GetWindowRect(hwnd, &now);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&now), 2);
  // A drop-down list's window reports the height of its field only.
  const bool heightMoved = c.Kind() != ControlKind::ComboBox && now.bottom - now.top != b.height;
  const bool moved =
      now.left != b.left || now.top != b.top || now.right - now.left != b.width || heightMoved;
  const bool shownBefore = IsWindowVisible(hwnd) != FALSE;
  if (moved) {
    SetWindowPos(hwnd, nullptr, b.left, b.top, b.width, b.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  EnableWindow(hwnd, c.Enabled() ? TRUE : FALSE);
  ShowWindow(hwnd, c.Visible() ? SW_SHOWNA : SW_HIDE);
  InvalidateRect(hwnd, nullptr, TRUE);
  // A moved, resized or hidden child uncovers part of its parent.
  HWND parent = GetParent(hwnd);
  if (parent != nullptr && (moved || (shownBefore && !c.Visible()))) {
    InvalidateRect(parent, nullptr, TRUE);
  }
}

void FormRenderer::ApplyItems(HWND hwnd, const Control& list) {
  std::vector<std::string>& shown = shownItems_[&list];
  if (shown != list.Items()) {
    SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : list.Items()) {
      SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
    }
    shown = list.Items();
  }
  SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
}

Control* FormRenderer::ControlOf(HWND hwnd) const {
  auto it = controls_.find(hwnd);
  return it == controls_.end() ? nullptr : it->second;
}

Control* FormRenderer::SpinEditOfArrows(HWND arrows) const {
  auto it = arrowsOf_.find(arrows);
  return it == arrowsOf_.end() ? nullptr : it->second;
}

HWND FormRenderer::ArrowsOf(const Control& spinEdit) const {
  auto it = spinArrows_.find(&spinEdit);
  return it == spinArrows_.end() ? nullptr : it->second;
}

void FormRenderer::ReadText(HWND hwnd) {
  Control* c = ControlOf(hwnd);
  if (c == nullptr || c->Kind() != ControlKind::Edit) return;
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  const int n = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(n, 0)));
  const std::string cp1252 = Utf16ToCp1252(std::u16string(text.begin(), text.end()));
  c->SetCaption(cp1252);
  shownText_[c] = cp1252;  // already shown: no echo that would move the caret
}

void FormRenderer::RepaintNow() {
  Apply();
  RedrawWindow(host_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

SIZE FormRenderer::MeasureText(const Control& label) {
  HDC dc = GetDC(host_);
  HGDIOBJ old = SelectObject(dc, FontFor(label.GetFont()));
  const std::wstring text = ToWide(label.Caption());
  SIZE size{0, 0};
  if (text.empty()) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    size.cy = tm.tmHeight;
  } else {
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  SelectObject(dc, old);
  ReleaseDC(host_, dc);
  return size;
}

HFONT FormRenderer::FontFor(const Font& font) {
  const std::string key = font.face + "|" + std::to_string(font.heightPx) + "|" +
                          (font.bold ? "b" : "") + (font.italic ? "i" : "");
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  LOGFONTW lf{};
  lf.lfHeight = -font.heightPx;  // character height
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = ToWide(font.face);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT h = CreateFontIndirectW(&lf);
  if (h == nullptr) h = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_[key] = h;
  return h;
}

HBRUSH FormRenderer::BrushFor(COLORREF colour) {
  auto it = brushes_.find(colour);
  if (it != brushes_.end()) return it->second;
  HBRUSH b = CreateSolidBrush(colour);
  brushes_[colour] = b;
  return b;
}

HBRUSH FormRenderer::OnCtlColorStatic(HDC dc, HWND child) {
  const Control* c = ControlOf(child);
  if (c == nullptr) return BrushFor(RGB(192, 192, 192));
  SetTextColor(dc, ToColorRef(c->TextColor()));
  // A transparent label shows its container's colour.
  const Control* owner = c->Opaque() ? c : c->Parent();
  const COLORREF back = owner != nullptr ? ToColorRef(owner->BackColor()) : RGB(192, 192, 192);
  SetBkColor(dc, back);
  SetBkMode(dc, OPAQUE);
  return BrushFor(back);
}

void FormRenderer::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const Control* c = ControlOf(item.hwndItem);
  if (c == nullptr) return;
  RECT rc = item.rcItem;
  const bool pressed = c->Down() || (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &rc, BrushFor(RGB(192, 192, 192)));
  DrawFrameControl(item.hDC, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const int shift = pressed ? 1 : 0;
  const int x = rc.left + (rc.right - rc.left - kPictureSize) / 2 + shift;
  const int y = rc.top + (rc.bottom - rc.top - kPictureSize) / 2 + shift;
  const bool enabled = c->Enabled() && (item.itemState & ODS_DISABLED) == 0;
  DrawButtonPicture(item.hDC, c->GetPicture(), x, y, enabled);
}

void FormRenderer::PaintCaption(HDC dc, const Control& control, RECT rc, UINT format) {
  if (control.Caption().empty()) return;
  const std::wstring text = ToWide(control.Caption());
  HGDIOBJ old = SelectObject(dc, FontFor(control.GetFont()));
  SetTextColor(dc, ToColorRef(control.TextColor()));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_NOPREFIX);
  SelectObject(dc, old);
}

void FormRenderer::PaintShapes(HDC dc, const Control& container) {
  for (const Control* s : container.Children()) {
    if (s->Kind() != ControlKind::Shape || !s->Visible()) continue;
    const Rect& b = s->Bounds();
    HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(s->PenColor()));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HBRUSH brush = s->Filled() ? CreateSolidBrush(ToColorRef(s->BackColor())) : nullptr;
    HGDIOBJ oldBrush = SelectObject(
        dc, brush != nullptr ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    switch (s->Shape()) {
      case ShapeKind::Circle:
      case ShapeKind::Ellipse: {
        // A circle uses the square of the shorter side, centred in the bounds.
        int w = b.width, h = b.height, x = b.left, y = b.top;
        if (s->Shape() == ShapeKind::Circle) {
          const int d = std::min(w, h);
          x += (w - d) / 2;
          y += (h - d) / 2;
          w = h = d;
        }
        Ellipse(dc, x, y, x + w, y + h);
        break;
      }
      case ShapeKind::HorizontalLine:
        MoveToEx(dc, b.left, b.top, nullptr);
        LineTo(dc, b.left + b.width, b.top);
        break;
      case ShapeKind::VerticalLine:
        MoveToEx(dc, b.left, b.top, nullptr);
        LineTo(dc, b.left, b.top + b.height);
        break;
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (brush != nullptr) DeleteObject(brush);
    DeleteObject(pen);
  }
}

void FormRenderer::PaintPanel(HWND hwnd, HDC dc, const Control& panel) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, BrushFor(ToColorRef(panel.BackColor())));
  DrawBevel(dc, rc, panel.GetBevel(), panel.BevelWidth());
  InflateRect(&rc, -panel.BevelWidth(), -panel.BevelWidth());
  const UINT align = panel.GetAlignment() == Alignment::Center ? DT_CENTER : DT_LEFT;
  PaintCaption(dc, panel, rc, align | DT_VCENTER | DT_SINGLELINE);
  PaintShapes(dc, panel);
}

void FormRenderer::PaintGroupBox(HWND hwnd, HDC dc, const Control& box) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const COLORREF back =
      box.Parent() != nullptr ? ToColorRef(box.Parent()->BackColor()) : RGB(192, 192, 192);
  FillRect(dc, &rc, BrushFor(back));
  HGDIOBJ old = SelectObject(dc, FontFor(box.GetFont()));
  const std::wstring text = ToWide(box.Caption());
  SIZE extent{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  // The etched frame runs through the middle of the caption.
  RECT frame = rc;
  frame.top += extent.cy / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (!text.empty()) {
    RECT captionRc = {8, 0, 8 + extent.cx + 4, extent.cy};
    FillRect(dc, &captionRc, BrushFor(back));
    captionRc.left += 2;
    PaintCaption(dc, box, captionRc, DT_LEFT | DT_TOP | DT_SINGLELINE);
  }
  PaintShapes(dc, box);
}

bool FormRenderer::ContainerMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_CTLCOLORSTATIC:
      result = reinterpret_cast<LRESULT>(
          OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
      return true;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      result = TRUE;
      return true;
    case WM_COMMAND:
    case WM_NOTIFY:
      // Clicks, selections and arrows belong to the form's window.
      result = SendMessageW(host_, msg, wp, lp);
      return true;
    case WM_ERASEBKGND:
      result = 1;  // WM_PAINT fills the whole client area
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (const Control* c = ControlOf(hwnd)) {
        if (c->Kind() == ControlKind::GroupBox) {
          PaintGroupBox(hwnd, dc, *c);
        } else {
          PaintPanel(hwnd, dc, *c);
        }
      }
      EndPaint(hwnd, &ps);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK FormRenderer::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  FormRenderer* self = RendererOf(hwnd);
  LRESULT result = 0;
  try {
    if (self != nullptr && self->ContainerMessage(hwnd, msg, wp, lp, result)) return result;
  } catch (...) {
    return 0;  // nothing escapes a window procedure
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FormRenderer::GroupBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  FormRenderer* self = RendererOf(hwnd);
  auto original = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kButtonProcProp));
  LRESULT result = 0;
  try {
    if (self != nullptr && self->ContainerMessage(hwnd, msg, wp, lp, result)) return result;
  } catch (...) {
    return 0;
  }
  switch (msg) {
    case WM_ENABLE:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
      // The button class would paint its own group box at once; ours repaints on WM_PAINT.
      if (original != nullptr) {
        SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
        result = CallWindowProcW(original, hwnd, msg, wp, lp);
        SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
      }
      break;
    case WM_NCDESTROY:
      RemovePropW(hwnd, kButtonProcProp);
      break;
    default:
      break;
  }
  if (original != nullptr) return CallWindowProcW(original, hwnd, msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HMENU FormRenderer::BuildMenuBar() {
  HMENU bar = CreateMenu();
  for (const Menu& menu : form_.Menus()) {
    HMENU popup = CreatePopupMenu();
    for (const MenuItem& item : menu.items) {
      if (item.separator) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      std::string text = item.caption;
      if (item.shortcut != Key::None) {
        text += '\t';
        text += ShortcutName(item.shortcut, item.shortcutShift);
      }
      UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.enabled ? 0 : MF_GRAYED);
      AppendMenuW(popup, flags, static_cast<UINT_PTR>(item.commandId), ToWide(text).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), ToWide(menu.caption).c_str());
  }
  return bar;
}

HACCEL FormRenderer::BuildAccelerators(int nextViewCommand,
                                       const std::vector<std::pair<int, int>>& ctrlKeys) {
  std::vector<ACCEL> table;
  for (const Menu& menu : form_.Menus()) {
    for (const MenuItem& item : menu.items) {
      if (item.separator || item.shortcut == Key::None) continue;
      BYTE flags = FVIRTKEY;
      if (item.shortcutShift & kShift) flags |= FSHIFT;
      if (item.shortcutShift & kCtrl) flags |= FCONTROL;
      if (item.shortcutShift & kAlt) flags |= FALT;
      table.push_back(
          ACCEL{flags, static_cast<WORD>(item.shortcut), static_cast<WORD>(item.commandId)});
    }
  }
  // F12 whatever Shift, Ctrl and Alt are doing.
  for (int mods = 0; mods < 8; ++mods) {
    BYTE flags = FVIRTKEY;
    if (mods & 1) flags |= FSHIFT;
    if (mods & 2) flags |= FCONTROL;
    if (mods & 4) flags |= FALT;
    table.push_back(ACCEL{flags, VK_F12, static_cast<WORD>(nextViewCommand)});
  }
  for (const auto& [key, command] : ctrlKeys) {
    table.push_back(ACCEL{FVIRTKEY | FCONTROL, static_cast<WORD>(key), static_cast<WORD>(command)});
  }
  return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

}  // namespace pelmora::ui
