// The control kinds of the dialogs (radio groups, lists, spin edits) and the dialog model's
// event routing, keys and closing.
#include "app/ui/Dialog.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::ui {
namespace {

// clang-format off
const ControlStyle kBox{.kind = ControlKind::GroupBox};
const ControlStyle kRadio{.kind = ControlKind::RadioButton};
const ControlStyle kCheck{.kind = ControlKind::CheckBox};
const ControlStyle kList{.kind = ControlKind::ComboBox};
const ControlStyle kSpin{.kind = ControlKind::SpinEdit};
const ControlStyle kButton{.kind = ControlKind::Button};
const ControlSpec kRows[] = {
    {.name = "A", .id = 10, .style = &kBox},
    {.name = "A0", .parent = "A", .id = 11, .style = &kRadio},
    {.name = "A1", .parent = "A", .id = 12, .style = &kRadio},
    {.name = "B", .id = 20, .style = &kBox},
    {.name = "B0", .parent = "B", .id = 21, .style = &kRadio},
    {.name = "Top0", .id = 30, .style = &kRadio},
    {.name = "Top1", .id = 31, .style = &kRadio},
    {.name = "Check", .id = 40, .style = &kCheck},
    {.name = "List", .id = 50, .style = &kList},
    {.name = "Spin", .id = 60, .style = &kSpin, .minValue = 1, .maxValue = 20},
    {.name = "Free", .id = 61, .style = &kSpin},
    {.name = "Ok", .id = 70, .style = &kButton, .caption = "OK"},
    {.name = "Cancel", .id = 71, .style = &kButton, .caption = "Cancel"},
};
// clang-format on

class TestDialog : public Dialog {
 public:
  explicit TestDialog(bool withCancel) : Dialog("Test", "Test Dialog", {200, 100}) {
    GetForm().AddControls(kRows);
    for (const char* name : {"A0", "Check", "List", "Ok"}) {
      const ControlEvent event =
          std::string(name) == "List" ? ControlEvent::Change : ControlEvent::Click;
      On(name, event, [this, name] { log.push_back(name); });
    }
    On("Cancel", ControlEvent::Click, [this] { Close(ModalResult::Cancel); });
    SetDefaultButton("Ok");
    if (withCancel) SetCancelButton("Cancel");
  }
  std::vector<std::string> log;
};

TEST(DialogControls, RadioButtonsOfOneContainerFormAGroup) {
  TestDialog d(true);
  Form& f = d.GetForm();
  f.Get("A0").SetChecked(true);
  f.Get("B0").SetChecked(true);
  f.Get("Top0").SetChecked(true);
  f.Get("A1").SetChecked(true);
  f.Get("Top1").SetChecked(true);
  EXPECT_FALSE(f.Get("A0").Checked());
  EXPECT_TRUE(f.Get("A1").Checked());
  EXPECT_TRUE(f.Get("B0").Checked()) << "another container is another group";
  EXPECT_FALSE(f.Get("Top0").Checked());
  EXPECT_TRUE(f.Get("Top1").Checked());
  f.Get("A1").SetChecked(false);
  EXPECT_FALSE(f.Get("A0").Checked()) << "clearing one checks no other";
}

TEST(DialogControls, ListsSelectOnlyTheirItems) {
  TestDialog d(true);
  Control& l = d.GetForm().Get("List");
  l.SetItems({"a", "b"});
  for (const auto& [index, text] :
       std::vector<std::pair<int, std::string>>{{1, "b"}, {0, "a"}, {2, ""}, {-1, ""}, {1, "b"}}) {
    l.SetItemIndex(index);
    EXPECT_EQ(l.ItemText(), text) << index;
  }
  l.SetItems({"c"});
  EXPECT_EQ(l.ItemIndex(), -1) << "new items select nothing";
}

TEST(DialogControls, SpinEditsClampIntoTheirBoundsAndEqualBoundsMeanNone) {
  TestDialog d(true);
  Control& spin = d.GetForm().Get("Spin");
  Control& free = d.GetForm().Get("Free");
  const struct {
    Control* c;
    int64_t set;
    int32_t step;
    int32_t expected;
  } cases[] = {
      {&spin, 0, 0, 1},
      {&spin, 25, 0, 20},
      {&spin, 20, 1, 20},
      {&spin, 1, -1, 1},
      {&spin, 5, 1, 6},
      {&free, -152, -1, -153},
      {&free, 90000, 1, 90001},
      {&free, INT64_MAX, 1, INT32_MAX},
      {&free, INT32_MIN, -1, INT32_MIN},
  };
  for (const auto& c : cases) {
    c.c->SetValue(c.set).Step(c.step);
    EXPECT_EQ(c.c->Value(), c.expected) << c.c->Name() << " " << c.set << " " << c.step;
    EXPECT_EQ(c.c->Caption(), std::to_string(c.expected));
  }
}

TEST(DialogEvents, ClicksCheckAndFlipBeforeTheHandlerOnlyOnUsableControls) {
  TestDialog d(true);
  Form& f = d.GetForm();
  EXPECT_TRUE(d.Click("A0"));
  EXPECT_TRUE(d.Click("Check"));
  EXPECT_TRUE(f.Get("A0").Checked());
  EXPECT_TRUE(f.Get("Check").Checked());
  d.Click("Check");
  EXPECT_FALSE(f.Get("Check").Checked());
  d.Select("List", 0);  // no items: nothing selected, the handler still runs
  f.Get("Check").SetEnabled(false);
  d.Click("Check");
  f.Get("A").SetVisible(false);
  d.Click("A0");
  EXPECT_EQ(d.log, (std::vector<std::string>{"A0", "Check", "Check", "List"}));
  EXPECT_FALSE(d.Event(999, ControlEvent::Click));
  f.Get("Spin").SetEnabled(false);
  d.Spin("Spin", 1);
  EXPECT_EQ(f.Get("Spin").Value(), 1);
}

TEST(DialogEvents, EnterClicksTheDefaultButtonEscapeTheCancelButton) {
  TestDialog ok(true);
  ok.Confirm();
  EXPECT_EQ(ok.log, std::vector<std::string>{"Ok"});
  EXPECT_EQ(ok.DefaultButtonId(), 70);
  EXPECT_TRUE(ok.GetForm().Get("Ok").Default());

  TestDialog cancel(true);
  cancel.Dismiss();
  EXPECT_EQ(cancel.Result(), ModalResult::Cancel);
  cancel.Click("Ok");
  EXPECT_TRUE(cancel.log.empty()) << "a closed dialog runs no handler";

  TestDialog plain(false);
  plain.Dismiss();
  EXPECT_EQ(plain.Result(), ModalResult::Cancel);
}

}  // namespace
}  // namespace pelmora::ui
