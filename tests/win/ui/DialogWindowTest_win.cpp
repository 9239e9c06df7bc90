// The dialog control kinds as native windows and the modal dialog window, in real windows under
// Wine: classes and styles, model state shown and read back, and a scripted user who clicks,
// selects, steps and presses keys while RunModalDialog's own loop runs.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ui/DialogWindow_win.h"
#include "app/ui/FormRenderer_win.h"

namespace pelmora::ui {
namespace {

// clang-format off
const ControlStyle kBox{.kind = ControlKind::GroupBox};
const ControlStyle kRadio{.kind = ControlKind::RadioButton};
const ControlStyle kCheck{.kind = ControlKind::CheckBox};
const ControlStyle kList{.kind = ControlKind::ComboBox};
const ControlStyle kEdit{.kind = ControlKind::Edit};
const ControlStyle kSpin{.kind = ControlKind::SpinEdit, .backColor = colors::kWhite, .opaque = true};
const ControlStyle kButton{.kind = ControlKind::Button};
const ControlSpec kRows[] = {
    {.name = "Box", .id = 300, .bounds = {8, 6, 200, 100}, .style = &kBox, .caption = "Group"},
    {.name = "R0", .parent = "Box", .id = 301, .bounds = {10, 20, 80, 17}, .style = &kRadio, .caption = "One"},
    {.name = "R1", .parent = "Box", .id = 302, .bounds = {10, 40, 80, 17}, .style = &kRadio, .caption = "Two"},
    {.name = "Spin", .parent = "Box", .id = 303, .bounds = {100, 20, 60, 21}, .style = &kSpin, .minValue = 0, .maxValue = 3},
    {.name = "Check", .id = 310, .bounds = {8, 110, 100, 17}, .style = &kCheck, .caption = "Beep"},
    {.name = "List", .id = 311, .bounds = {8, 130, 100, 21}, .style = &kList},
    {.name = "Name", .id = 312, .bounds = {8, 156, 150, 21}, .style = &kEdit},
    {.name = "Ok", .id = 320, .bounds = {120, 186, 75, 25}, .style = &kButton, .caption = "OK"},
    {.name = "Cancel", .id = 321, .bounds = {200, 186, 75, 25}, .style = &kButton, .caption = "Cancel"},
};
// clang-format on

class ScriptDialog : public Dialog {
 public:
  ScriptDialog() : Dialog("Script", "Script Dialog \xE9", {283, 219}) {
    GetForm().AddControls(kRows);
    GetForm().Get("List").SetItems({"a", "b", "c"});
    GetForm().Get("R0").SetChecked(true);
    On("List", ControlEvent::Change,
       [this] { log.push_back("List " + GetForm().Get("List").ItemText()); });
    On("R1", ControlEvent::Click, [this] { log.push_back("R1"); });
    On("Ok", ControlEvent::Click, [this] { Close(ModalResult::Ok); });
    On("Cancel", ControlEvent::Click, [this] { Close(ModalResult::Cancel); });
    SetDefaultButton("Ok");
    SetCancelButton("Cancel");
    SetFocusControl("List");
  }
  std::vector<std::string> log;
};

std::wstring Class(HWND hwnd) {
  wchar_t buffer[64] = {};
  GetClassNameW(hwnd, buffer, 64);
  return buffer;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND MakeHost() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"DialogTestHost";
  RegisterClassW(&wc);
  return CreateWindowExW(0, L"DialogTestHost", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

TEST(DialogControlsWin, EachKindIsItsNativeControlShowingTheModel) {
  HWND host = MakeHost();
  ASSERT_NE(host, nullptr);
  ScriptDialog dialog;
  Form& form = dialog.GetForm();
  form.Get("List").SetItemIndex(1);
  form.Get("Spin").SetValue(2).SetEnabled(false);
  auto renderer = std::make_unique<FormRenderer>(form, host, GetModuleHandleW(nullptr));
  renderer->Create();
  const auto w = [&](const char* name) { return renderer->WindowOf(form.Get(name)); };
  const auto style = [&](const char* name) { return GetWindowLongW(w(name), GWL_STYLE); };

  EXPECT_EQ(lstrcmpiW(Class(w("List")).c_str(), L"ComboBox"), 0);
  EXPECT_EQ(style("List") & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(SendMessageW(w("List"), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(w("List"), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(style("R0") & BS_TYPEMASK, BS_AUTORADIOBUTTON);
  EXPECT_TRUE(style("R0") & WS_GROUP);
  EXPECT_FALSE(style("R1") & WS_GROUP) << "one keyboard group per container";
  EXPECT_EQ(style("Check") & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_EQ(style("Ok") & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(style("Cancel") & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_TRUE(style("Spin") & ES_READONLY);
  EXPECT_FALSE(style("Name") & ES_READONLY);
  HWND arrows = GetWindow(w("Spin"), GW_HWNDNEXT);
  ASSERT_NE(arrows, nullptr);
  EXPECT_EQ(Class(arrows), UPDOWN_CLASSW);
  EXPECT_EQ(renderer->SpinEditOfArrows(arrows), &form.Get("Spin"));
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(arrows, UDM_GETBUDDY, 0, 0)), w("Spin"));
  EXPECT_FALSE(IsWindowEnabled(w("Spin")) || IsWindowEnabled(arrows));
  wchar_t text[32] = {};
  GetWindowTextW(w("Spin"), text, 32);
  EXPECT_STREQ(text, L"2");
  EXPECT_EQ(SendMessageW(w("R0"), BM_GETCHECK, 0, 0), BST_CHECKED);

  form.Get("R1").SetChecked(true);
  form.Get("Spin").SetEnabled(true);
  form.Get("List").SetItems({"x"});
  renderer->Apply();
  EXPECT_EQ(SendMessageW(w("R0"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(w("R1"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(arrows));
  EXPECT_EQ(SendMessageW(w("List"), CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(w("List"), CB_GETCURSEL, 0, 0), CB_ERR);

  SetWindowTextW(w("Name"), L"C:\\caf\u00E9.nsf");
  renderer->ReadText(w("Name"));
  EXPECT_EQ(form.Get("Name").Caption(), "C:\\caf\xE9.nsf");
  renderer.reset();
  DestroyWindow(host);
}

// One step of the scripted user per timer tick, inside RunModalDialog's loop.
std::vector<std::function<void()>>* gSteps = nullptr;
size_t gNext = 0;

void CALLBACK NextStep(HWND, UINT, UINT_PTR, DWORD) {
  if (gSteps != nullptr && gNext < gSteps->size()) (*gSteps)[gNext++]();
}

HWND DialogChild(int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      ActiveModalDialog(),
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetDlgCtrlID(h) == s->id) s->found = h;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PostKey(HWND target, WPARAM vk) {
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

// Runs the dialog modally while the user's steps come one a timer tick; the steps taken.
size_t RunScripted(Dialog& dialog, HWND owner, std::vector<std::function<void()>>& steps) {
  gSteps = &steps;
  gNext = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 40, NextStep);
  RunModalDialog(dialog, owner, GetModuleHandleW(nullptr));
  KillTimer(nullptr, timer);
  gSteps = nullptr;
  return gNext;
}

TEST(DialogWindowWin, AModalWindowCentredOverItsDisabledOwnerThatTheUserDrives) {
  HWND owner = MakeHost();
  ASSERT_NE(owner, nullptr);
  ScriptDialog dialog;
  RECT window{}, client{};
  wchar_t caption[64] = {};
  bool ownerEnabled = true;
  HWND shown = nullptr;
  wchar_t spinText[16] = {};
  std::vector<std::function<void()>> steps = {
      [&] {
        shown = ActiveModalDialog();
        GetWindowRect(shown, &window);
        GetClientRect(shown, &client);
        GetWindowTextW(shown, caption, 64);
        ownerEnabled = IsWindowEnabled(owner) != FALSE;
      },
      [&] { PostMessageW(DialogChild(302), BM_CLICK, 0, 0); },
      [&] {
        HWND list = DialogChild(311);
        SendMessageW(list, CB_SETCURSEL, 2, 0);
        PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(311, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
      },
      [&] { PostKey(DialogChild(303), VK_UP); },
      [&] { PostKey(DialogChild(303), VK_UP); },
      [&] { PostKey(DialogChild(303), VK_UP); },
      [&] { PostKey(DialogChild(303), VK_UP); },                  // beyond 3: clamped
      [&] { PostMessageW(DialogChild(303), WM_CHAR, L'7', 1); },  // typed: refused
      [&] { GetWindowTextW(DialogChild(303), spinText, 16); },
      [&] { PostMessageW(DialogChild(310), BM_CLICK, 0, 0); },
      [&] { PostKey(DialogChild(311), VK_ESCAPE); },
  };
  EXPECT_EQ(RunScripted(dialog, owner, steps), steps.size());
  EXPECT_STREQ(caption, L"Script Dialog \u00E9");
  EXPECT_EQ(client.right, 283);
  EXPECT_EQ(client.bottom, 219);
  const int width = window.right - window.left, height = window.bottom - window.top;
  EXPECT_EQ(window.left, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2);
  EXPECT_EQ(window.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2);
  EXPECT_FALSE(ownerEnabled) << "the owner takes no input while the dialog runs";
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(shown)) << "destroyed before RunModalDialog returns";
  EXPECT_EQ(ActiveModalDialog(), nullptr);
  EXPECT_EQ(dialog.Result(), ModalResult::Cancel) << "Escape";
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"R1", "List c"}));
  const Form& form = dialog.GetForm();
  EXPECT_TRUE(form.Get("R1").Checked() && !form.Get("R0").Checked());
  EXPECT_EQ(form.Get("Spin").Value(), 3);
  EXPECT_STREQ(spinText, L"3");
  EXPECT_TRUE(form.Get("Check").Checked());
  DestroyWindow(owner);
}

TEST(DialogWindowWin, EnterPressesTheDefaultButton) {
  HWND owner = MakeHost();
  ScriptDialog dialog;
  std::vector<std::function<void()>> steps = {[] { PostKey(DialogChild(301), VK_RETURN); }};
  RunScripted(dialog, owner, steps);
  EXPECT_EQ(dialog.Result(), ModalResult::Ok);
  DestroyWindow(owner);
}

}  // namespace
}  // namespace pelmora::ui
