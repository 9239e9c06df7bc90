// The control model's properties, lookups and dirty tracking.
#include "app/ui/Form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace pelmora::ui {

Control::Control(std::string name, ControlKind kind, Control* parent)
    : name_(std::move(name)), parent_(parent) {
  look_.kind = kind;
}

bool Control::Showing() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

Rect Control::FormBounds() const {
  Rect r = bounds_;
  for (const Control* p = parent_; p != nullptr; p = p->parent_) {
    r.left += p->bounds_.left;
    r.top += p->bounds_.top;
  }
  return r;
}

template <typename T>
Control& Control::Assign(T& field, T value) {
  if (!(field == value)) {
    field = std::move(value);
    dirty_ = true;
  }
  return *this;
}

Control& Control::SetId(int id) {
  return Assign(id_, id);
}
Control& Control::SetBounds(Rect r) {
  return Assign(bounds_, r);
}
Control& Control::SetTop(int top) {
  return Assign(bounds_.top, top);
}
Control& Control::SetHeight(int height) {
  return Assign(bounds_.height, height);
}
Control& Control::SetCaption(std::string text) {
  return Assign(caption_, std::move(text));
}
Control& Control::SetFont(Font f) {
  return Assign(look_.font, std::move(f));
}
Control& Control::SetTextColor(Color c) {
  return Assign(look_.textColor, c);
}
Control& Control::SetBackColor(Color c) {
  return Assign(look_.backColor, c);
}
Control& Control::SetOpaque(bool on) {
  return Assign(look_.opaque, on);
}
Control& Control::SetVisible(bool on) {
  return Assign(visible_, on);
}
Control& Control::SetEnabled(bool on) {
  return Assign(enabled_, on);
}
Control& Control::SetDown(bool on) {
  return Assign(down_, on);
}
Control& Control::SetToggle(bool on) {
  return Assign(look_.toggle, on);
}
Control& Control::SetBevel(Bevel b, int width) {
  Assign(look_.bevel, b);
  return Assign(look_.bevelWidth, b == Bevel::None ? 0 : width);
}
Control& Control::SetAlignment(Alignment a) {
  return Assign(look_.alignment, a);
}
Control& Control::SetWordWrap(bool on) {
  return Assign(look_.wordWrap, on);
}
Control& Control::SetAutoSize(bool on) {
  return Assign(look_.autoSize, on);
}
Control& Control::SetShape(ShapeKind s) {
  return Assign(look_.shape, s);
}
Control& Control::SetPenColor(Color c) {
  return Assign(look_.penColor, c);
}
Control& Control::SetFilled(bool on) {
  return Assign(look_.filled, on);
}
Control& Control::SetPicture(Picture p) {
  return Assign(look_.picture, p);
}

Control& Control::SetDefault(bool on) {
  return Assign(default_, on);
}

Control& Control::SetChecked(bool on) {
  Assign(checked_, on);
  if (on && Kind() == ControlKind::RadioButton) {
    const std::vector<Control*> siblings =
        parent_ != nullptr ? parent_->children_
                           : (form_ != nullptr ? form_->TopLevel() : std::vector<Control*>{});
    for (Control* c : siblings) {
      if (c != this && c->Kind() == ControlKind::RadioButton) c->Assign(c->checked_, false);
    }
  }
  return *this;
}

Control& Control::SetItems(std::vector<std::string> items) {
  Assign(items_, std::move(items));
  return Assign(itemIndex_, -1);
}

Control& Control::SetItemIndex(int index) {
  const bool inside = index >= 0 && static_cast<size_t>(index) < items_.size();
  return Assign(itemIndex_, inside ? index : -1);
}

std::string Control::ItemText() const {
  return itemIndex_ >= 0 ? items_[static_cast<size_t>(itemIndex_)] : std::string();
}

Control& Control::SetRange(int32_t minValue, int32_t maxValue) {
  Assign(minValue_, minValue);
  Assign(maxValue_, maxValue);
  return SetValue(value_);
}

Control& Control::SetValue(int64_t value) {
  if (minValue_ != maxValue_) {
    value =
        std::clamp<int64_t>(value, std::min(minValue_, maxValue_), std::max(minValue_, maxValue_));
  }
  const auto v = static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
  Assign(value_, v);
  return Assign(caption_, std::to_string(v));
}

Control& Control::Step(int32_t delta) {
  return SetValue(static_cast<int64_t>(value_) + delta);
}

std::string KeyName(Key key) {
  if (key == Key::None) return {};
  if (key >= static_cast<Key>('A') && key <= static_cast<Key>('Z'))
    return std::string(1, static_cast<char>(key));
  std::string name = "F";
  name += std::to_string(static_cast<int>(key) - static_cast<int>(Key::F1) + 1);
  return name;
}

std::string ShortcutName(Key key, unsigned shift) {
  if (key == Key::None) return {};
  std::string name;
  if (shift & kCtrl) name += "Ctrl+";
  if (shift & kAlt) name += "Alt+";
  if (shift & kShift) name += "Shift+";
  return name + KeyName(key);
}

Form::Form(std::string name) : name_(std::move(name)) {}

Control& Form::Add(std::string name, ControlKind kind, Control* parent) {
  if (name.empty() || Find(name) != nullptr) {
    throw std::invalid_argument(std::string("duplicate or empty control name: ").append(name));
  }
  controls_.push_back(std::make_unique<Control>(std::move(name), kind, parent));
  Control& c = *controls_.back();
  c.form_ = this;
  if (parent != nullptr) parent->children_.push_back(&c);
  return c;
}

void Form::AddControls(std::span<const ControlSpec> rows) {
  for (const ControlSpec& row : rows) {
    if (row.name == nullptr || row.style == nullptr) {
      throw std::invalid_argument("layout row without a name or a style");
    }
    Control* parent = row.parent != nullptr ? &Get(row.parent) : nullptr;
    Control& control = Add(row.name, row.style->kind, parent);
    control.look_ = *row.style;
    control.SetId(row.id)
        .SetBounds(row.bounds)
        .SetCaption(row.caption)
        .SetVisible(row.visible)
        .SetBevel(row.style->bevel, row.style->bevelWidth);
    if (row.style->kind == ControlKind::SpinEdit) control.SetRange(row.minValue, row.maxValue);
  }
}

std::vector<Control*> Form::TopLevel() const {
  std::vector<Control*> out;
  for (const auto& c : controls_) {
    if (c->Parent() == nullptr) out.push_back(c.get());
  }
  return out;
}

Control* Form::Find(std::string_view name) const {
  for (const auto& c : controls_) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

Control* Form::FindIndexed(std::string_view prefix, int index) const {
  if (index < 0) return nullptr;
  std::string name(prefix);
  name += std::to_string(index);
  return Find(name);
}

Control& Form::Get(std::string_view name) const {
  Control* c = Find(name);
  if (c == nullptr) throw std::out_of_range(std::string("no control named ").append(name));
  return *c;
}

Menu& Form::AddMenu(std::string caption) {
  menus_.push_back(Menu{std::move(caption), {}});
  return menus_.back();
}

MenuItem& Form::AddMenuItem(std::string name, std::string caption, Key shortcut, int commandId) {
  if (menus_.empty()) throw std::logic_error("menu item before any menu");
  if (name.empty() || FindMenuItem(name) != nullptr) {
    throw std::invalid_argument(std::string("duplicate or empty menu item name: ").append(name));
  }
  MenuItem item;
  item.name = std::move(name);
  item.caption = std::move(caption);
  item.shortcut = shortcut;
  item.commandId = commandId;
  menus_.back().items.push_back(std::move(item));
  return menus_.back().items.back();
}

void Form::AddMenuSeparator() {
  if (menus_.empty()) throw std::logic_error("separator before any menu");
  MenuItem item;
  item.separator = true;
  menus_.back().items.push_back(std::move(item));
}

void Form::AddMenus(std::span<const MenuSpec> rows) {
  for (const MenuSpec& row : rows) {
    if (row.menu != nullptr) {
      AddMenu(row.menu);
    } else if (row.name != nullptr) {
      AddMenuItem(row.name, row.caption, row.shortcut, row.commandId).shortcutShift =
          row.shortcutShift;
    } else {
      AddMenuSeparator();
    }
  }
}

MenuItem* Form::FindMenuItem(std::string_view name) {
  if (name.empty()) return nullptr;
  for (auto& menu : menus_) {
    for (auto& item : menu.items) {
      if (item.name == name) return &item;
    }
  }
  return nullptr;
}

MenuItem& Form::GetMenuItem(std::string_view name) {
  MenuItem* item = FindMenuItem(name);
  if (item == nullptr) throw std::out_of_range(std::string("no menu item named ").append(name));
  return *item;
}

void Form::SetChecked(std::string_view item, bool on) {
  MenuItem& m = GetMenuItem(item);
  if (m.checked != on) {
    m.checked = on;
    m.dirty = true;
  }
}

void Form::SetMenuEnabled(std::string_view item, bool on) {
  MenuItem& m = GetMenuItem(item);
  if (m.enabled != on) {
    m.enabled = on;
    m.dirty = true;
  }
}

bool Form::Checked(std::string_view item) {
  return GetMenuItem(item).checked;
}
bool Form::MenuEnabled(std::string_view item) {
  return GetMenuItem(item).enabled;
}

std::vector<Control*> Form::DirtyControls() const {
  std::vector<Control*> out;
  for (const auto& c : controls_) {
    if (c->Dirty()) out.push_back(c.get());
  }
  return out;
}

std::vector<MenuItem*> Form::DirtyMenuItems() {
  std::vector<MenuItem*> out;
  for (auto& menu : menus_) {
    for (auto& item : menu.items) {
      if (item.dirty && !item.separator) out.push_back(&item);
    }
  }
  return out;
}

void Form::ClearDirty() {
  for (auto& c : controls_)
    c->ClearDirty();
  for (auto& menu : menus_) {
    for (auto& item : menu.items)
      item.dirty = false;
  }
}

void Form::Repaint() {
  ++repaintCount_;
  if (repaint_) repaint_();
}

}  // namespace pelmora::ui
