// Macro commands of the DDE server, matched on the first line of an executed text.
//   OFF | LIVE | PAUSE | FORWARD | EXIT     the whole line, letters in any case
//   PLAY<any one character><source>         e.g. "PLAY C:\Logs\Track1.gps"
//   STEP | BACK                             the whole line, letters in any case
//   SPEED <x> | SEEK <time, START or END>   the word and one space, then the argument
#include "app/dde/MacroHandler.h"

#include <array>
#include <utility>

#include "app/dde/DdeText.h"

namespace pelmora::dde {
namespace {

constexpr std::string_view kPlay = "PLAY";
// The separator after PLAY is skipped whatever it is.
constexpr size_t kPlaySourceStart = kPlay.size() + 1;

constexpr std::array<std::pair<std::string_view, MacroCommand>, 7> kWholeLineCommands = {{
    {"OFF", MacroCommand::Off},
    {"LIVE", MacroCommand::Live},
    {"PAUSE", MacroCommand::Pause},
    {"FORWARD", MacroCommand::Forward},
    {"EXIT", MacroCommand::Exit},
    {"STEP", MacroCommand::Step},
    {"BACK", MacroCommand::Back},
}};

// The words followed by a space and an argument.
constexpr std::array<std::pair<std::string_view, MacroCommand>, 2> kArgumentCommands = {{
    {"SPEED ", MacroCommand::Speed},
    {"SEEK ", MacroCommand::Seek},
}};

// The macro-echo flag for the length of one PAUSE or FORWARD, cleared however that ends.
class MacroEchoScope {
 public:
  explicit MacroEchoScope(MacroActions& actions) : actions_(actions) {
    actions_.SetMacroEcho(true);
  }
  ~MacroEchoScope() { actions_.SetMacroEcho(false); }
  MacroEchoScope(const MacroEchoScope&) = delete;
  MacroEchoScope& operator=(const MacroEchoScope&) = delete;

 private:
  MacroActions& actions_;
};

void PauseOrForward(MacroActions& actions, bool pause) {
  MacroEchoScope echo(actions);
  actions.SetPauseButtonDown(pause);
  actions.SetPaused(pause);
  actions.SendLinkCommand(pause ? "PAUSE" : "FORWARD");
}

}  // namespace

MacroCommand MatchMacro(std::string_view line) {
  if (line.size() >= kPlay.size() && EqualsAsciiNoCase(line.substr(0, kPlay.size()), kPlay)) {
    return MacroCommand::Play;
  }
  for (const auto& [word, command] : kWholeLineCommands) {
    if (EqualsAsciiNoCase(line, word)) return command;
  }
  for (const auto& [word, command] : kArgumentCommands) {
    if (line.size() > word.size() && EqualsAsciiNoCase(line.substr(0, word.size()), word))
      return command;
  }
  return MacroCommand::None;
}

std::string_view PlayerArgument(std::string_view line) {
  for (const auto& [word, command] : kArgumentCommands) {
    if (line.size() > word.size() && EqualsAsciiNoCase(line.substr(0, word.size()), word))
      return line.substr(word.size());
  }
  return {};
}

std::string PlaySource(std::string_view line) {
  if (line.size() <= kPlaySourceStart) return {};
  return std::string(line.substr(kPlaySourceStart));
}

void HVNExecuteMacro(std::string_view text, MacroActions& actions) {
  std::string line;
  if (!FirstLine(text, &line)) return;
  actions.SetTestLabel(line);
  const MacroCommand command = MatchMacro(line);
  switch (command) {
    case MacroCommand::Off:
      actions.FileOff();
      break;
    case MacroCommand::Live:
      actions.FileLive();
      break;
    case MacroCommand::Play:
      if (actions.OpenSource(PlaySource(line)) == 0) {
        actions.SendLinkCommand("PLAYING");
        actions.SetPaused(false);
      }
      break;
    case MacroCommand::Pause:
      PauseOrForward(actions, true);
      break;
    case MacroCommand::Forward:
      PauseOrForward(actions, false);
      break;
    case MacroCommand::Exit:
      actions.Exit();
      break;
    case MacroCommand::Speed:
      if (const auto speed = ParseReplaySpeed(PlayerArgument(line))) actions.SetReplaySpeed(*speed);
      break;
    case MacroCommand::Seek:
      if (const auto target = ParseSeekTarget(PlayerArgument(line))) actions.SeekReplay(*target);
      break;
    case MacroCommand::Step:
    case MacroCommand::Back:
      actions.StepReplay(command == MacroCommand::Step);
      break;
    case MacroCommand::None:
      break;
  }
}

}  // namespace pelmora::dde
