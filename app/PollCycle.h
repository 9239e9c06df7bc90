// The poll cycle behind Timer1, one tick a second: the guard on the engine-open and closing
// flags, the live or replay poll, and on update ticks the update step that reads the fix,
// writes the panels (MainPanels) and sends the update command on the client link. The main
// form owns the state a tick reads and hands every tick here. Portable.
#pragma once

namespace pelmora {

class PollCycle {
 public:
  // One tick of Timer1. The cycle's steps come with the monitor layer; until then a tick
  // changes nothing.
  void Timer1_Timer();
};

}  // namespace pelmora
