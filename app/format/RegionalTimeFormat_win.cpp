#include "app/format/RegionalTimeFormat_win.h"

#include <windows.h>

#include <string>

namespace pelmora {
namespace {

std::string LocaleText(LCTYPE type) {
  char buffer[128] = {};
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer) : std::string();
}

}  // namespace

LongTimeFormat ReadUserLongTimeFormat() {
  return ParseLongTimeFormat(LocaleText(LOCALE_STIMEFORMAT), LocaleText(LOCALE_S1159),
                             LocaleText(LOCALE_S2359));
}

}  // namespace pelmora
