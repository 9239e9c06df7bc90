// The current user's regional long time format, read from the system.
#pragma once

#include "app/format/TimeOfDay.h"

namespace pelmora {

LongTimeFormat ReadUserLongTimeFormat();

}  // namespace pelmora
