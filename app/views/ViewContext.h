// What the main window's views read besides their controls: the form, the texts, the options
// (read at every call, so a changed option counts at the next update) and the fix's text
// formatting. Portable.
#pragma once

#include "app/StringTable.h"
#include "app/format/FixText.h"
#include "app/format/Units.h"
#include "app/settings/StartupOptions.h"
#include "app/ui/Form.h"

namespace pelmora {

struct ViewContext {
  ui::Form& form;
  const StringTable& strings;
  const StartupOptions& options;
  const UnitSuffixes& suffixes;
  const FixText& text;
};

// Black for a value whose validity bit is set, grey otherwise.
inline ui::Color ValidityColor(uint16_t validFlags, uint16_t bit) {
  return (validFlags & bit) != 0 ? ui::colors::kBlack : ui::colors::kGrey;
}

}  // namespace pelmora
