// The main window's controls and menu bar as data, and the geometry the display operations
// share with them. Portable.
#pragma once

#include <array>

#include "app/ui/Form.h"

namespace pelmora {

constexpr int kViewCount = 3;
// Every view stands here while shown.
constexpr int kViewLeft = 10;
constexpr int kViewTop = 45;
// The signal bars stand on this line; an idle bar (no signal) is this high.
constexpr int kBarBaseline = 165;
constexpr int kBarIdleHeight = 15;
constexpr int kFloodBarBevel = 2;

// The names of the three view group boxes and of the menu items that show them, by view index.
constexpr std::array<const char*, kViewCount> kViewFrames = {
    "GPSInfoViewFrame", "SatStrengthViewFrame", "SatConfigViewFrame"};
constexpr std::array<const char*, kViewCount> kViewMenuItems = {
    "OptionsViewGPSInfo", "OptionsViewStrength", "OptionsViewConfig"};

// Adds every control at its design geometry and the menu bar.
void BuildMainLayout(ui::Form& form);

// The controls of satellite slot index (0..11); none for any other index.
ui::Control* FindSignalBar(const ui::Form& form, int index);
ui::Control* FindSignalSatLabel(const ui::Form& form, int index);
ui::Control* FindConfigSatLabel(const ui::Form& form, int index);

}  // namespace pelmora
