// The renderer against real windows: child classes and ids, texts converted from Windows-1252,
// dirty properties applied, menus and accelerators built from the model.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ui/FormRenderer_win.h"

namespace pelmora::ui {
namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd, msg, wp, lp);
}

class FormRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RendererTestHost";
    RegisterClassW(&wc);
    host_ = CreateWindowExW(0, L"RendererTestHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 400,
                            nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(host_, nullptr);

    Control& box = form_.Add("Box", ControlKind::GroupBox)
                       .SetId(100)
                       .SetBounds({10, 45, 286, 225})
                       .SetCaption("Caption");
    form_.Add("Value", ControlKind::Label, &box)
        .SetId(101)
        .SetBounds({124, 23, 151, 24})
        .SetCaption("0\xB0 0' 0.0\" N");
    form_.Add("Auto", ControlKind::Label, &box)
        .SetId(102)
        .SetBounds({10, 60, 0, 0})
        .SetAutoSize(true)
        .SetCaption("Short");
    form_.Add("Strip", ControlKind::Panel).SetId(103).SetBounds({0, 286, 307, 39});
    form_.Add("Light", ControlKind::Shape, &form_.Get("Strip")).SetBounds({14, 13, 16, 15});
    form_.Add("Button", ControlKind::Button, &form_.Get("Strip"))
        .SetId(104)
        .SetBounds({268, 6, 27, 27});
    form_.AddMenu("&File");
    form_.AddMenuItem("FileOff", "&Off", Key::F2, 40001);
    form_.AddMenuSeparator();
    form_.AddMenuItem("FileExit", "&Exit", Key::None, 40002);

    renderer_ = std::make_unique<FormRenderer>(form_, host_, GetModuleHandleW(nullptr));
    SetMenu(host_, renderer_->BuildMenuBar());
    renderer_->Create();
  }
  void TearDown() override {
    renderer_.reset();
    if (host_ != nullptr) DestroyWindow(host_);
  }

  HWND W(const char* name) { return renderer_->WindowOf(form_.Get(name)); }
  static std::wstring Text(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
  }
  static std::wstring Class(HWND hwnd) {
    wchar_t buffer[64] = {};
    GetClassNameW(hwnd, buffer, 64);
    return buffer;
  }
  static RECT InParent(HWND hwnd) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }

  Form form_{"TestForm"};
  HWND host_ = nullptr;
  std::unique_ptr<FormRenderer> renderer_;
};

TEST_F(FormRendererTest, EveryTextControlIsAChildWindowWithItsIdAndParent) {
  struct Case {
    const char* name;
    const wchar_t* cls;
    int id;
    const char* parent;
  } cases[] = {{"Box", L"Button", 100, nullptr},
               {"Value", L"Static", 101, "Box"},
               {"Auto", L"Static", 102, "Box"},
               {"Strip", L"PelmoraPanel", 103, nullptr},
               {"Button", L"Button", 104, "Strip"}};
  for (const Case& c : cases) {
    HWND hwnd = W(c.name);
    ASSERT_NE(hwnd, nullptr) << c.name;
    EXPECT_EQ(lstrcmpiW(Class(hwnd).c_str(), c.cls), 0) << c.name;
    EXPECT_EQ(GetDlgCtrlID(hwnd), c.id) << c.name;
    EXPECT_EQ(GetParent(hwnd), c.parent == nullptr ? host_ : W(c.parent)) << c.name;
  }
  EXPECT_EQ(W("Light"), nullptr) << "shapes are painted by their container";
  EXPECT_EQ(Text(W("Value")), L"0\u00B0 0' 0.0\" N");
  EXPECT_EQ(Text(W("Box")), L"Caption");
  const RECT rc = InParent(W("Value"));
  EXPECT_EQ(rc.left, 124);
  EXPECT_EQ(rc.top, 23);
  EXPECT_EQ(rc.right - rc.left, 151);
  EXPECT_EQ(rc.bottom - rc.top, 24);
}

TEST_F(FormRendererTest, DirtyPropertiesReachTheirWindowsOnApply) {
  form_.Get("Value").SetCaption("12\x80");
  form_.Get("Box").SetVisible(false);
  EXPECT_EQ(Text(W("Value")), L"0\u00B0 0' 0.0\" N") << "nothing changes before Apply";
  renderer_->Apply();
  EXPECT_EQ(Text(W("Value")), L"12\u20AC");
  EXPECT_FALSE(GetWindowLongW(W("Box"), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongW(W("Value"), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(form_.DirtyControls().empty());
  form_.Get("Box").SetVisible(true);
  form_.Get("Button").SetEnabled(false);
  form_.Get("Value").SetTop(40);
  renderer_->Apply();
  EXPECT_TRUE(GetWindowLongW(W("Box"), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowEnabled(W("Button")));
  EXPECT_EQ(InParent(W("Value")).top, 40);
}

TEST_F(FormRendererTest, AutoSizedLabelsFollowTheirText) {
  const RECT before = InParent(W("Auto"));
  EXPECT_GT(before.right - before.left, 0);
  EXPECT_GT(before.bottom - before.top, 0);
  form_.Get("Auto").SetCaption("A much longer text than before");
  renderer_->Apply();
  const RECT after = InParent(W("Auto"));
  EXPECT_GT(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.left, 10);
  EXPECT_EQ(after.top, 60);
}

TEST_F(FormRendererTest, MenuBarCarriesCaptionsShortcutsAndStates) {
  HMENU bar = GetMenu(host_);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  wchar_t text[64] = {};
  GetMenuStringW(bar, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&File");
  HMENU file = GetSubMenu(bar, 0);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  GetMenuStringW(file, 40001, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"&Off\tF2");
  GetMenuStringW(file, 40002, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"&Exit");
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_FALSE(GetMenuState(file, 40001, MF_BYCOMMAND) & MF_CHECKED);

  form_.SetChecked("FileOff", true);
  form_.SetMenuEnabled("FileExit", false);
  renderer_->Apply();
  EXPECT_TRUE(GetMenuState(file, 40001, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(file, 40002, MF_BYCOMMAND) & MF_GRAYED);
  form_.SetChecked("FileOff", false);
  renderer_->Apply();
  EXPECT_FALSE(GetMenuState(file, 40001, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(FormRendererTest, AcceleratorsCoverShortcutsAndF12WithAnyModifiers) {
  HACCEL table = renderer_->BuildAccelerators(40030);
  ASSERT_NE(table, nullptr);
  std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
  CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
  DestroyAcceleratorTable(table);
  ASSERT_EQ(entries.size(), 1u + 8u);
  EXPECT_EQ(entries[0].key, VK_F2);
  EXPECT_EQ(entries[0].cmd, 40001);
  bool seen[8] = {};
  for (size_t i = 1; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].key, VK_F12);
    EXPECT_EQ(entries[i].cmd, 40030);
    EXPECT_TRUE(entries[i].fVirt & FVIRTKEY);
    const int mods = ((entries[i].fVirt & FSHIFT) ? 1 : 0) |
                     ((entries[i].fVirt & FCONTROL) ? 2 : 0) | ((entries[i].fVirt & FALT) ? 4 : 0);
    seen[mods] = true;
  }
  for (int m = 0; m < 8; ++m)
    EXPECT_TRUE(seen[m]) << "modifier set " << m;
}

TEST_F(FormRendererTest, LabelsAreColouredByTheirModel) {
  form_.Get("Value").SetTextColor(colors::kIdleGrey);
  renderer_->Apply();
  HDC dc = GetDC(W("Value"));
  HBRUSH brush = renderer_->OnCtlColorStatic(dc, W("Value"));
  EXPECT_EQ(GetTextColor(dc), RGB(127, 127, 127));
  EXPECT_EQ(GetBkColor(dc), RGB(192, 192, 192)) << "a transparent label shows its container";
  LOGBRUSH lb{};
  GetObjectW(brush, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
  form_.Get("Value").SetOpaque(true).SetBackColor(colors::kGrey).SetTextColor(colors::kWhite);
  renderer_->OnCtlColorStatic(dc, W("Value"));
  EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkColor(dc), RGB(128, 128, 128));
  ReleaseDC(W("Value"), dc);
}

}  // namespace
}  // namespace pelmora::ui
