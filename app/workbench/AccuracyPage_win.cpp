// The Accuracy tab's controls, their layout from 480 x 320 to full screen, and their commands.
#include "app/workbench/AccuracyPage_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/settings/OptionKeys.h"
#include "app/ui/Cp1252.h"
#include "app/ui/FormRenderer_win.h"
#include "app/workbench/AccuracyPlots_win.h"

namespace pelmora::workbench {
namespace {

// Sizes at 96 DPI.
constexpr int kMargin = 6;
constexpr int kGap = 6;        // between controls of a row
constexpr int kGroupGap = 12;  // between groups of a row
constexpr int kRow = 27;       // a row of fields
constexpr int kEditHeight = 21;
constexpr int kButtonHeight = 23;
constexpr int kTextHeight = 15;
constexpr int kComboListHeight = 160;
constexpr int kCaptionWidth = 80;  // the statistics' captions
constexpr int kMarkHeightWidth = 50;
constexpr int kMinCoordinateWidth = 84;  // a mark's latitude or longitude field
constexpr int kMaxCoordinateWidth = 150;
constexpr const char* kFieldCaptions[] = {"Reference", "Latitude",  "Longitude", "Height (m)",
                                          "Min. fix",  "Max. PDOP", "Min. sats"};

enum class Kind { Text, Edit, Combo, Button };

struct Item {
  HWND hwnd;
  Kind kind;
  int width;  // at 96 DPI; 0: the caption's text width; negative: minus the width in pixels
};

// Controls kept together on one row: a caption and its field, or buttons.
using Group = std::vector<Item>;

std::string TextOf(HWND control) {
  wchar_t text[256] = {};
  const int n = GetWindowTextW(control, text, 256);
  return ui::Utf16ToCp1252(std::u16string(text, text + std::max(0, n)));
}

int SelectedIndex(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

void FillCombo(HWND combo, const char* const* choices, int count) {
  for (int i = 0; i < count; ++i)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::ToWide(choices[i]).c_str()));
}

// Moves a control without copying its old pixels (a static's old text would stay where a moved
// sibling lands); the page repaints whole after a layout.
void Move(HWND control, int x, int y, int width, int height) {
  SetWindowPos(control, nullptr, x, y, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOREDRAW);
}

int TextWidth(HWND control) {
  const std::wstring text = ui::ToWide(TextOf(control));
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

}  // namespace

void AccuracyPage::CreateControls() {
  const auto stats = WorkbenchModel::StatisticsOf(summary_);
  for (int i = 0; i < kStatCount; ++i) {
    captions_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX,
                         IDC_WorkbenchStat0 + i + kWorkbenchCaptionOffset, stats[i].caption);
    values_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IDC_WorkbenchStat0 + i);
  }
  for (int i = 0; i < static_cast<int>(fieldCaptions_.size()); ++i)
    fieldCaptions_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchAccuracyCaption0 + i,
                              kFieldCaptions[i]);
  const DWORD combo = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
  const DWORD edit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  const DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
  reference_ = Child(L"COMBOBOX", combo, IDC_WorkbenchReference);
  FillCombo(reference_, kReferenceChoices, 3);
  start_ = Child(L"BUTTON", button, IDC_WorkbenchStart, "Start");
  stop_ = Child(L"BUTTON", button, IDC_WorkbenchStop, "Stop");
  reset_ = Child(L"BUTTON", button, IDC_WorkbenchReset, "Reset");
  state_ = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchSessionState);
  latitude_ = Child(L"EDIT", edit, IDC_WorkbenchMarkLatitude);
  longitude_ = Child(L"EDIT", edit, IDC_WorkbenchMarkLongitude);
  height_ = Child(L"EDIT", edit, IDC_WorkbenchMarkHeight);
  minFix_ = Child(L"COMBOBOX", combo, IDC_WorkbenchMinFix);
  FillCombo(minFix_, kMinFixChoices, 3);
  maxPdop_ = Child(L"EDIT", edit, IDC_WorkbenchMaxPdop);
  minSats_ = Child(L"EDIT", edit, IDC_WorkbenchMinSats);
  apply_ = Child(L"BUTTON", button, IDC_WorkbenchApply, "Apply");
  message_ = Child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IDC_WorkbenchAccuracyMessage);
  scatter_.Create(hwnd_, instance_, IDC_WorkbenchScatter, "East/north deviation",
                  [this](HDC dc, const RECT& area, double scale) {
                    PaintScatter(dc, area, scale, Stats(), summary_);
                  });
  strip_.Create(hwnd_, instance_, IDC_WorkbenchHeightStrip, "Height deviation",
                [this](HDC dc, const RECT& area, double scale) {
                  PaintHeightStrip(dc, area, scale, Stats(), summary_);
                });

  // The statistics took the stored choices at start; the fields show them.
  settings_ = LoadAccuracySettings(store_);
  ShowFields(FieldsOf(
      settings_, store_.ReadOptionInt(OptionNamed("GeoFormat").name, OptionDefault("GeoFormat"))));
}

void AccuracyPage::ShowFields(const AccuracyFields& f) {
  SendMessageW(reference_, CB_SETCURSEL, f.reference, 0);
  SetTextIfChanged(latitude_, f.latitude);
  SetTextIfChanged(longitude_, f.longitude);
  SetTextIfChanged(height_, f.height);
  SendMessageW(minFix_, CB_SETCURSEL, f.minFix, 0);
  SetTextIfChanged(maxPdop_, f.maxPdop);
  SetTextIfChanged(minSats_, f.minSats);
  EnableMarkFields();
}

AccuracyFields AccuracyPage::ReadControls() const {
  AccuracyFields f;
  f.reference = SelectedIndex(reference_);
  f.latitude = TextOf(latitude_);
  f.longitude = TextOf(longitude_);
  f.height = TextOf(height_);
  f.minFix = SelectedIndex(minFix_);
  f.maxPdop = TextOf(maxPdop_);
  f.minSats = TextOf(minSats_);
  return f;
}

void AccuracyPage::EnableMarkFields() {
  const bool surveyed = SelectedIndex(reference_) == static_cast<int>(ReferenceKind::Surveyed);
  for (HWND field : {latitude_, longitude_, height_})
    EnableWindow(field, surveyed);
}

// Epochs already gathered were judged by the old gates: new gates start the session again, so
// that every figure counts under the gates shown. A new reference needs no restart.
void AccuracyPage::ApplyFields() {
  const FieldsReading reading = ReadFields(ReadControls(), settings_);
  if (!reading.error.empty()) {
    SetTextIfChanged(message_, reading.error);
    return;
  }
  const QualityGates& a = settings_.gates;
  const QualityGates& b = reading.settings.gates;
  const bool newGates = a.minFixDimension != b.minFixDimension || a.maxPdop != b.maxPdop ||
                        a.minSatsUsed != b.minSatsUsed;
  settings_ = reading.settings;
  ApplyAccuracySettings(settings_, Stats());
  if (newGates) Stats().Reset();
  SaveAccuracySettings(store_, settings_);
  SetTextIfChanged(message_, newGates ? "New gates: the session started again." : "");
  Fill();
}

void AccuracyPage::OnCommand(int id, int code, HWND /*control*/) {
  const bool clicked = code == BN_CLICKED;
  switch (id) {
    case IDC_WorkbenchReference:
      if (code != CBN_SELCHANGE) return;
      EnableMarkFields();
      ApplyFields();
      return;
    case IDC_WorkbenchMinFix:
      if (code == CBN_SELCHANGE) ApplyFields();
      return;
    case IDC_WorkbenchApply:
      if (clicked) ApplyFields();
      return;
    case IDC_WorkbenchStart:
      if (clicked) Stats().Start();
      break;
    case IDC_WorkbenchStop:
      if (clicked) Stats().Stop();
      break;
    case IDC_WorkbenchReset:
      if (clicked) Stats().Reset();
      break;
    default:
      return;
  }
  if (clicked) Fill();
}

void AccuracyPage::Layout(int width, int height) {
  const auto& c = fieldCaptions_;
  const int right = width - Px(kMargin);
  auto widthOf = [this](const Item& item) {
    return item.width > 0 ? Px(item.width) : TextWidth(item.hwnd) + Px(2);
  };
  // The mark's coordinates take what the row leaves, within limits.
  const int markFixed = widthOf({c[1], Kind::Text, 0}) + widthOf({c[2], Kind::Text, 0}) +
                        widthOf({c[3], Kind::Text, 0}) + Px(kMarkHeightWidth) + 3 * Px(kGap) +
                        2 * Px(kGroupGap) + 2 * Px(kMargin);
  const int coordinate =
      std::clamp((width - markFixed) / 2, Px(kMinCoordinateWidth), Px(kMaxCoordinateWidth));
  // Three rows: reference and session; the mark; the gates and Apply. A row's groups wrap when
  // the page is too narrow for them; a group never splits.
  const std::vector<std::vector<Group>> rows = {
      {{{c[0], Kind::Text, 0}, {reference_, Kind::Combo, 116}},
       {{start_, Kind::Button, 48}, {stop_, Kind::Button, 48}, {reset_, Kind::Button, 48}},
       {{state_, Kind::Text, 60}}},
      {{{c[1], Kind::Text, 0}, {latitude_, Kind::Edit, -coordinate}},
       {{c[2], Kind::Text, 0}, {longitude_, Kind::Edit, -coordinate}},
       {{c[3], Kind::Text, 0}, {height_, Kind::Edit, kMarkHeightWidth}}},
      {{{c[4], Kind::Text, 0}, {minFix_, Kind::Combo, 64}},
       {{c[5], Kind::Text, 0}, {maxPdop_, Kind::Edit, 36}},
       {{c[6], Kind::Text, 0}, {minSats_, Kind::Edit, 32}},
       {{apply_, Kind::Button, 56}}},
  };
  int y = Px(kMargin) - Px(kRow);
  for (const std::vector<Group>& row : rows) {
    int x = right;  // a new row
    for (const Group& g : row) {
      std::vector<int> widths;
      int total = 0;
      for (const Item& item : g) {
        widths.push_back(item.width < 0 ? -item.width : widthOf(item));
        total += widths.back() + (total > 0 ? Px(kGap) : 0);
      }
      if (x == right || (x > Px(kMargin) && x + total > right)) {
        x = Px(kMargin);
        y += Px(kRow);
      }
      for (std::size_t i = 0; i < g.size(); ++i) {
        const Item& item = g[i];
        const int h = item.kind == Kind::Combo    ? Px(kComboListHeight)
                      : item.kind == Kind::Edit   ? Px(kEditHeight)
                      : item.kind == Kind::Button ? Px(kButtonHeight)
                                                  : Px(kTextHeight);
        const int dy = item.kind == Kind::Text ? Px(4) : item.kind == Kind::Edit ? Px(1) : 0;
        Move(item.hwnd, x, y + dy, widths[i], h);
        x += widths[i] + Px(kGap);
      }
      x += Px(kGroupGap - kGap);
    }
  }
  y += Px(kRow);
  Move(message_, Px(kMargin), y, width - 2 * Px(kMargin), Px(kTextHeight));
  const int top = y + Px(kTextHeight) + Px(4);

  // The statistics on the left, a row each, as tall as the height allows; the graphs beside.
  const int statsWidth = std::clamp(width * 2 / 5, Px(200), Px(320));
  const int available = height - top - Px(kMargin);
  const int row = std::clamp(available / kStatCount, Px(13), Px(20));
  for (int i = 0; i < kStatCount; ++i) {
    const int ry = top + i * row;
    Move(captions_[i], Px(kMargin), ry, Px(kCaptionWidth), row - 1);
    Move(values_[i], Px(kMargin) + Px(kCaptionWidth), ry, statsWidth - Px(kCaptionWidth), row - 1);
  }
  const int graphLeft = Px(kMargin) * 2 + statsWidth;
  const int graphWidth = std::max(0, width - graphLeft - Px(kMargin));
  const int graphHeight = std::max(0, height - top - Px(kMargin));
  const int stripHeight = std::clamp(graphHeight / 4, std::min(graphHeight / 3, Px(48)), Px(160));
  Move(scatter_.hwnd(), graphLeft, top, graphWidth, graphHeight - stripHeight - Px(4));
  MoveWindow(strip_.hwnd(), graphLeft, top + graphHeight - stripHeight, graphWidth, stripHeight,
             TRUE);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void AccuracyPage::Fill() {
  summary_ = Stats().Summary();
  const auto stats = WorkbenchModel::StatisticsOf(summary_);
  for (int i = 0; i < kStatCount; ++i)
    SetTextIfChanged(values_[i], stats[i].value);
  const bool running = Stats().running();
  SetTextIfChanged(state_, running ? "Running" : "Stopped");
  EnableWindow(start_, !running);
  EnableWindow(stop_, running);
  scatter_.Redraw();
  strip_.Redraw();
}

}  // namespace pelmora::workbench
