#include "app/ui/Form.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace pelmora::ui {
namespace {

const ControlStyle kBoxStyle{.kind = ControlKind::GroupBox};
const ControlStyle kItemStyle{.kind = ControlKind::Label};
const ControlSpec kRows[] = {
    {.name = "Box", .bounds = {10, 45, 200, 100}, .style = &kBoxStyle},
    {.name = "ItemIndeX0", .parent = "Box", .bounds = {5, 7, 10, 10}, .style = &kItemStyle},
    {.name = "ItemIndeX1", .parent = "Box", .bounds = {25, 7, 10, 10}, .style = &kItemStyle},
    {.name = "ItemIndeX2", .parent = "Box", .bounds = {45, 7, 10, 10}, .style = &kItemStyle},
};
const MenuSpec kMenuRows[] = {
    {.menu = "&File"},
    {.name = "FileOff", .caption = "&Off", .shortcut = Key::F2, .commandId = 1},
    kMenuSeparator,
    {.name = "FileExit", .caption = "&Exit", .commandId = 2},
};

class FormTest : public ::testing::Test {
 protected:
  FormTest() : form_("TestForm") {
    form_.AddControls(kRows);
    form_.AddMenus(kMenuRows);
    box_ = &form_.Get("Box");
    form_.ClearDirty();
  }
  Form form_;
  Control* box_ = nullptr;
};

TEST_F(FormTest, FindsByNameAndByNamePlusDecimalIndex) {
  EXPECT_EQ(form_.Find("Box"), box_);
  EXPECT_EQ(form_.FindIndexed("ItemIndeX", 2)->Name(), "ItemIndeX2");
  EXPECT_EQ(form_.FindIndexed("ItemIndeX", 3), nullptr);
  EXPECT_EQ(form_.FindIndexed("ItemIndeX", -1), nullptr);
  EXPECT_EQ(form_.FindIndexed("Item", 0), nullptr);
  EXPECT_EQ(form_.Find("itemindex0"), nullptr) << "names are case-sensitive";
  EXPECT_THROW(form_.Get("Missing"), std::out_of_range);
}

TEST_F(FormTest, RejectsDuplicateAndEmptyNames) {
  EXPECT_THROW(form_.Add("Box", ControlKind::Panel), std::invalid_argument);
  EXPECT_THROW(form_.Add("", ControlKind::Panel), std::invalid_argument);
  EXPECT_THROW(form_.AddMenuItem("FileOff", "x", Key::None, 9), std::invalid_argument);
}

TEST_F(FormTest, ParentsAndChildrenAndFormBounds) {
  Control& item = form_.Get("ItemIndeX1");
  EXPECT_EQ(item.Parent(), box_);
  ASSERT_EQ(box_->Children().size(), 3u);
  EXPECT_EQ(box_->Children()[1], &item);
  EXPECT_EQ(item.FormBounds(), (Rect{35, 52, 10, 10}));
}

TEST_F(FormTest, ShowingNeedsEveryParentVisible) {
  Control& item = form_.Get("ItemIndeX0");
  EXPECT_TRUE(item.Showing());
  box_->SetVisible(false);
  EXPECT_TRUE(item.Visible());
  EXPECT_FALSE(item.Showing());
}

TEST_F(FormTest, ChangesMarkDirtyAndSameValuesDoNot) {
  EXPECT_TRUE(form_.DirtyControls().empty());
  Control& item = form_.Get("ItemIndeX0");
  item.SetCaption("");
  item.SetVisible(true);
  EXPECT_TRUE(form_.DirtyControls().empty());
  item.SetCaption("12");
  ASSERT_EQ(form_.DirtyControls().size(), 1u);
  EXPECT_EQ(form_.DirtyControls()[0], &item);
  form_.ClearDirty();
  item.SetTextColor(colors::kIdleGrey);
  EXPECT_TRUE(item.Dirty());
  form_.ClearDirty();
  item.SetTextColor(colors::kIdleGrey);
  EXPECT_FALSE(item.Dirty());
  EXPECT_NE(colors::kIdleGrey, colors::kGrey);
}

TEST_F(FormTest, MenuChecksAndEnablesMarkItemsDirty) {
  EXPECT_TRUE(form_.DirtyMenuItems().empty());
  form_.SetChecked("FileOff", true);
  form_.SetMenuEnabled("FileExit", false);
  EXPECT_TRUE(form_.Checked("FileOff"));
  EXPECT_FALSE(form_.MenuEnabled("FileExit"));
  EXPECT_EQ(form_.DirtyMenuItems().size(), 2u);
  form_.ClearDirty();
  form_.SetChecked("FileOff", true);
  EXPECT_TRUE(form_.DirtyMenuItems().empty());
  EXPECT_THROW(form_.SetChecked("Nope", true), std::out_of_range);
  EXPECT_EQ(form_.FindMenuItem(""), nullptr) << "separators have no name";
}

TEST_F(FormTest, RepaintIsAnExplicitCallToTheRenderer) {
  int painted = 0;
  form_.SetRepaintHandler([&] { ++painted; });
  form_.Get("ItemIndeX0").SetCaption("x");
  EXPECT_EQ(painted, 0);
  form_.Repaint();
  EXPECT_EQ(painted, 1);
  EXPECT_EQ(form_.RepaintCount(), 1);
}

TEST_F(FormTest, MenuRowsOpenMenusAddItemsAndSeparators) {
  ASSERT_EQ(form_.Menus().size(), 1u);
  const std::vector<MenuItem>& items = form_.Menus()[0].items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].shortcut, Key::F2);
  EXPECT_TRUE(items[1].separator);
  EXPECT_EQ(items[2].commandId, 2);
}

TEST(LayoutRows, ARowNeedsAStyleAndAnEarlierParent) {
  Form form("F");
  const ControlStyle plain;
  const ControlSpec noStyle[] = {{.name = "A"}};
  const ControlSpec parentLater[] = {{.name = "A", .parent = "B", .style = &plain},
                                     {.name = "B", .style = &plain}};
  EXPECT_THROW(form.AddControls(noStyle), std::invalid_argument);
  EXPECT_THROW(form.AddControls(parentLater), std::out_of_range);
}

TEST(KeyName, NamesFunctionKeys) {
  EXPECT_EQ(KeyName(Key::F1), "F1");
  EXPECT_EQ(KeyName(Key::F9), "F9");
  EXPECT_EQ(KeyName(Key::F12), "F12");
  EXPECT_EQ(KeyName(Key::None), "");
  EXPECT_EQ(ShortcutName(Key::W, kCtrl), "Ctrl+W");
  EXPECT_EQ(ShortcutName(Key::F2, kShiftNone), "F2");
}

TEST(BevelWidth, NoBevelHasNoWidth) {
  Form form("F");
  Control& p = form.Add("P", ControlKind::Panel).SetBevel(Bevel::None, 2);
  EXPECT_EQ(p.BevelWidth(), 0);
  p.SetBevel(Bevel::Raised, 2);
  EXPECT_EQ(p.BevelWidth(), 2);
}

}  // namespace
}  // namespace pelmora::ui
