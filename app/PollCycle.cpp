// One tick of the poll cycle.
#include "app/PollCycle.h"

namespace pelmora {

void PollCycle::Timer1_Timer() {}

}  // namespace pelmora
