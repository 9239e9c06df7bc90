// The program's command line: pelmora.exe [/speed:X] [/seek:[yyyy-mm-dd ]hh:mm:ss[.s]] [LOG].
// Switches come before the log; a switch is '/' followed by letters, up to a ':' and its value
// (a path such as /tmp/t.gps is not one). Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/format/ReplayArgs.h"

namespace pelmora {

struct ProgramArguments {
  std::optional<ReplaySpeed> speed;  // for this run; the stored speed otherwise
  std::optional<ReplayTime> seek;    // where the replay starts
  std::string log;                   // the GPS log to replay at start; empty for none
};

// The arguments after the program's name; nothing when the line is refused: an unknown, repeated
// or malformed switch, a switch after the log, or /seek without a log. Words after the log are
// ignored, as they always were.
std::optional<ProgramArguments> ParseProgramArguments(const std::vector<std::string>& args);

}  // namespace pelmora
