// The looks the settings dialogs' controls share: MS Sans Serif 8 point on the button face.
// Portable.
#pragma once

#include "app/ui/Form.h"

namespace pelmora::dialog_styles {

inline const ui::Font kDialogFont{"MS Sans Serif", 11};

// clang-format off
inline const ui::ControlStyle kFrame{.kind = ui::ControlKind::GroupBox, .font = kDialogFont};
inline const ui::ControlStyle kText{.kind = ui::ControlKind::Label, .font = kDialogFont};
inline const ui::ControlStyle kList{.kind = ui::ControlKind::ComboBox, .font = kDialogFont};
inline const ui::ControlStyle kRadio{.kind = ui::ControlKind::RadioButton, .font = kDialogFont};
inline const ui::ControlStyle kCheck{.kind = ui::ControlKind::CheckBox, .font = kDialogFont};
inline const ui::ControlStyle kEdit{.kind = ui::ControlKind::Edit, .font = kDialogFont, .backColor = ui::colors::kWhite, .opaque = true};
inline const ui::ControlStyle kSpin{.kind = ui::ControlKind::SpinEdit, .font = kDialogFont, .textColor = ui::colors::kBlack, .backColor = ui::colors::kWhite, .opaque = true};
inline const ui::ControlStyle kButton{.kind = ui::ControlKind::Button, .font = kDialogFont};
// clang-format on

// The OK, Cancel and Help buttons of every dialog: 75 x 25, 8 pixels apart.
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

}  // namespace pelmora::dialog_styles
