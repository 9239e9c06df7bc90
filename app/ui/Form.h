// The control model: a Form owning named controls and a menu bar, with the properties the
// forms use. Setters mark a control dirty; the renderer applies dirty controls and repaints
// only when Repaint() is called. Portable: standard C++ only.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::ui {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// An RGB colour, or the system's window-text colour (resolved by the renderer).
struct Color {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool windowText = false;
  bool operator==(const Color&) const = default;

  static constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) { return Color{r, g, b, false}; }
  static constexpr Color WindowText() { return Color{0, 0, 0, true}; }
};

namespace colors {
constexpr Color kBlack = Color::Rgb(0, 0, 0);
constexpr Color kWhite = Color::Rgb(255, 255, 255);
constexpr Color kSilver = Color::Rgb(192, 192, 192);
constexpr Color kGrey = Color::Rgb(128, 128, 128);
constexpr Color kIdleGrey = Color::Rgb(127, 127, 127);  // ResetDisplay's grey, not kGrey
constexpr Color kNavy = Color::Rgb(0, 0, 128);
constexpr Color kLime = Color::Rgb(0, 255, 0);
constexpr Color kRed = Color::Rgb(255, 0, 0);
}  // namespace colors

struct Font {
  std::string face = "MS Sans Serif";
  int heightPx = 13;  // character height, not cell height
  bool bold = false;
  bool italic = false;
  bool operator==(const Font&) const = default;
};

enum class ControlKind {
  Label,        // text; transparent unless opaque is set
  Panel,        // rectangle with optional bevel and centred caption; may hold children
  GroupBox,     // etched frame with a caption; holds children
  Button,       // push button: with a picture (toggle buttons stay down until clicked again), or
                // a plain push button showing its caption
  Shape,        // circle, ellipse or line without text
  ComboBox,     // drop-down list: items, the selected one by index (-1 none)
  RadioButton,  // the radio buttons of one container form one group: checking one clears the rest
  CheckBox,     // checked or not
  Edit,         // one line of text the user types; the caption is the text
  SpinEdit,     // a number with up and down arrows, stepped by the arrows only, clamped to a range
};

enum class Bevel { None, Raised, Lowered };
enum class ShapeKind { Circle, Ellipse, HorizontalLine, VerticalLine };
enum class Alignment { Left, Center };
enum class Picture { None, Pause, NextView };

// How a control looks, with the defaults of a new control: what the rows of a layout table that
// look alike share. (Members of class type are brace-initialised here and in ControlSpec: GCC 12
// warns when a designated initialiser omits a plain one.)
struct ControlStyle {
  ControlKind kind = ControlKind::Label;
  Font font{};
  Color textColor = Color::WindowText();
  Color backColor = colors::kSilver;
  bool opaque = false;
  bool toggle = false;
  Bevel bevel = Bevel::None;
  int bevelWidth = 0;
  Alignment alignment = Alignment::Left;
  bool wordWrap = false;
  bool autoSize = false;
  ShapeKind shape = ShapeKind::Circle;
  Color penColor = colors::kBlack;
  bool filled = false;
  Picture picture = Picture::None;
};

class Form;

class Control {
 public:
  Control(std::string name, ControlKind kind, Control* parent);

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return look_.kind; }
  Control* Parent() const { return parent_; }
  const std::vector<Control*>& Children() const { return children_; }

  int Id() const { return id_; }
  const Rect& Bounds() const { return bounds_; }
  const std::string& Caption() const { return caption_; }  // Windows-1252
  const Font& GetFont() const { return look_.font; }
  const Color& TextColor() const { return look_.textColor; }
  const Color& BackColor() const { return look_.backColor; }
  bool Opaque() const { return look_.opaque; }
  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  bool Down() const { return down_; }
  bool Toggle() const { return look_.toggle; }
  Bevel GetBevel() const { return look_.bevel; }
  int BevelWidth() const { return look_.bevelWidth; }
  Alignment GetAlignment() const { return look_.alignment; }
  bool WordWrap() const { return look_.wordWrap; }
  bool AutoSize() const { return look_.autoSize; }
  ShapeKind Shape() const { return look_.shape; }
  Color PenColor() const { return look_.penColor; }
  bool Filled() const { return look_.filled; }
  Picture GetPicture() const { return look_.picture; }
  // The button Enter presses in a dialog.
  bool Default() const { return default_; }
  bool Checked() const { return checked_; }
  const std::vector<std::string>& Items() const { return items_; }
  int ItemIndex() const { return itemIndex_; }
  // The selected item's text; empty with no selection.
  std::string ItemText() const;
  int32_t Value() const { return value_; }
  int32_t MinValue() const { return minValue_; }
  int32_t MaxValue() const { return maxValue_; }
  bool Dirty() const { return dirty_; }

  // True when this control and every parent are visible.
  bool Showing() const;
  // Bounds relative to the form's client area.
  Rect FormBounds() const;

  Control& SetId(int id);
  Control& SetBounds(Rect r);
  Control& SetTop(int top);
  Control& SetHeight(int height);
  Control& SetCaption(std::string text);
  Control& SetFont(Font f);
  Control& SetTextColor(Color c);
  Control& SetBackColor(Color c);
  Control& SetOpaque(bool on);
  Control& SetVisible(bool on);
  Control& SetEnabled(bool on);
  Control& SetDown(bool on);
  Control& SetToggle(bool on);
  Control& SetBevel(Bevel b, int width);
  Control& SetAlignment(Alignment a);
  Control& SetWordWrap(bool on);
  Control& SetAutoSize(bool on);
  Control& SetShape(ShapeKind s);
  Control& SetPenColor(Color c);
  Control& SetFilled(bool on);
  Control& SetPicture(Picture p);
  Control& SetDefault(bool on);
  // A radio button checked clears the other radio buttons of its container.
  Control& SetChecked(bool on);
  // New items leave no item selected.
  Control& SetItems(std::vector<std::string> items);
  // An index outside the items selects none.
  Control& SetItemIndex(int index);
  // Equal bounds mean no bounds at all; otherwise the value is clamped into them at once.
  Control& SetRange(int32_t minValue, int32_t maxValue);
  // The value, clamped into the range; the caption shows it in decimal.
  Control& SetValue(int64_t value);
  // One press of an arrow (delta +1 or -1), clamped into the range and into 32 bits.
  Control& Step(int32_t delta);

  void ClearDirty() { dirty_ = false; }

 private:
  template <typename T>
  Control& Assign(T& field, T value);

  std::string name_;
  Control* parent_;
  std::vector<Control*> children_;
  int id_ = 0;
  Rect bounds_;
  std::string caption_;
  bool visible_ = true;
  bool enabled_ = true;
  bool down_ = false;
  ControlStyle look_;
  bool default_ = false;
  bool checked_ = false;
  std::vector<std::string> items_;
  int itemIndex_ = -1;
  int32_t value_ = 0;
  int32_t minValue_ = 0;
  int32_t maxValue_ = 0;
  bool dirty_ = true;
  Form* form_ = nullptr;  // the owner, for the radio buttons of a control without a parent

  friend class Form;
};

// A key of a menu shortcut; values are the Windows virtual-key codes of the function keys.
enum class Key : int {
  None = 0,
  F1 = 0x70,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  W = 'W',  // letters are their upper-case character codes
};

// Modifier keys held with a key (bits of a ShiftState).
enum ShiftState : unsigned { kShiftNone = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

// "F2" for Key::F2, "W" for Key::W, "" for Key::None.
std::string KeyName(Key key);
// The key with its modifiers as a menu shows it: "Ctrl+W", "F2".
std::string ShortcutName(Key key, unsigned shift);

struct MenuItem {
  std::string name;  // empty for a separator
  std::string caption;
  Key shortcut = Key::None;
  int commandId = 0;
  unsigned shortcutShift = kShiftNone;  // ShiftState bits held with the shortcut
  bool separator = false;
  bool checked = false;
  bool enabled = true;
  bool dirty = true;
};

struct Menu {
  std::string caption;
  std::vector<MenuItem> items;
};

// One row of a layout table: a control's name, place, id and text; its look comes from style.
struct ControlSpec {
  const char* name = nullptr;
  const char* parent = nullptr;  // a control of an earlier row; none: the form itself
  int id = 0;
  Rect bounds{};
  const ControlStyle* style = nullptr;
  const char* caption = "";
  bool visible = true;
  // The bounds of a spin edit's value (equal: none).
  int32_t minValue = 0;
  int32_t maxValue = 0;
};

// One row of a menu bar table: a new menu (menu set), an item (name set), or a separator.
struct MenuSpec {
  const char* menu = nullptr;
  const char* name = nullptr;
  const char* caption = "";
  Key shortcut = Key::None;
  int commandId = 0;
  unsigned shortcutShift = kShiftNone;
};
constexpr MenuSpec kMenuSeparator{};

class Form {
 public:
  explicit Form(std::string name);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }

  // Adds a control; its name must be unique within the form (throws std::invalid_argument).
  Control& Add(std::string name, ControlKind kind, Control* parent = nullptr);
  // Adds the controls of a layout table in its order (throws std::invalid_argument for a row
  // without a style, and std::out_of_range for a parent not added before it).
  void AddControls(std::span<const ControlSpec> rows);

  Control* Find(std::string_view name) const;
  // The control named prefix + index in decimal without leading zeros; none for a negative
  // index or when no control has that name.
  Control* FindIndexed(std::string_view prefix, int index) const;
  Control& Get(std::string_view name) const;  // throws std::out_of_range when missing
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
  // The controls without a parent, in the order they were added.
  std::vector<Control*> TopLevel() const;

  Menu& AddMenu(std::string caption);
  // Appends an item to the last menu added.
  MenuItem& AddMenuItem(std::string name, std::string caption, Key shortcut, int commandId);
  void AddMenuSeparator();
  // Adds the menus, items and separators of a menu bar table in its order.
  void AddMenus(std::span<const MenuSpec> rows);
  const std::vector<Menu>& Menus() const { return menus_; }
  MenuItem* FindMenuItem(std::string_view name);
  MenuItem& GetMenuItem(std::string_view name);  // throws std::out_of_range when missing
  void SetChecked(std::string_view item, bool on);
  void SetMenuEnabled(std::string_view item, bool on);
  bool Checked(std::string_view item);
  bool MenuEnabled(std::string_view item);

  // The controls and menu items changed since the last ClearDirty().
  std::vector<Control*> DirtyControls() const;
  std::vector<MenuItem*> DirtyMenuItems();
  void ClearDirty();

  // Asks the renderer to repaint the whole form at once; set by the renderer.
  void SetRepaintHandler(std::function<void()> handler) { repaint_ = std::move(handler); }
  void Repaint();
  int RepaintCount() const { return repaintCount_; }

 private:
  std::string name_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<Menu> menus_;
  std::function<void()> repaint_;
  int repaintCount_ = 0;
};

}  // namespace pelmora::ui
