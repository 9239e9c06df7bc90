// HVNExecuteMacro: the macro commands other programs send to the DDE server. The first line of
// an executed text is matched against six command words and carried out through the main
// window's own operations, behind MacroActions. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/format/ReplayArgs.h"

namespace pelmora::dde {

enum class MacroCommand { None, Off, Live, Play, Pause, Forward, Exit, Speed, Seek, Step, Back };

// The command a first line names. OFF, LIVE, PAUSE, FORWARD and EXIT match the whole line, the
// letters without regard to case and nothing trimmed ("OFF " matches nothing); PLAY matches
// when the first four characters are "PLAY" in any case. The replay player's words: STEP and BACK
// match the whole line as the others; SPEED and SEEK when the line starts with the word and one
// space (any case), the rest being their argument (PlayerArgument).
MacroCommand MatchMacro(std::string_view line);

// The source a PLAY line names: its text from the sixth character on (the fifth, whatever it
// is, is skipped: "PLAY C:\t.gps" and "PLAYXC:\t.gps" both name C:\t.gps), whole: a name cut
// would name another file, and the engine refuses one too long for it.
std::string PlaySource(std::string_view line);

// The argument of a SPEED or SEEK line: its text after the word and the space.
std::string_view PlayerArgument(std::string_view line);

// The main window's operations a macro command uses.
class MacroActions {
 public:
  virtual ~MacroActions() = default;
  // Caption of TestLabel: the first line of the last text executed.
  virtual void SetTestLabel(const std::string& caption) = 0;
  virtual void FileOff() = 0;   // FileOff_Click
  virtual void FileLive() = 0;  // FileLive_Click
  // Sets the source name and runs OpenEngine; its status, 0 when the engine opened.
  virtual int32_t OpenSource(const std::string& source) = 0;
  // The pressed state of SimulatePauseButton, set without running its click handler.
  virtual void SetPauseButtonDown(bool down) = 0;
  virtual void SetPaused(bool paused) = 0;
  // While set, the pause button's click handler sends nothing on the client link.
  virtual void SetMacroEcho(bool on) = 0;
  // Sends a command on the client link, only while the link-open flag is set.
  virtual void SendLinkCommand(const std::string& command) = 0;
  // Sets the closing flag and closes the main window: the path of FileExit_Click.
  virtual void Exit() = 0;
  // The replay player. Each changes nothing when it cannot apply (not replaying, a time not in
  // the log, STEP or BACK while playing); a seek or step shows the new epoch at once.
  virtual void SetReplaySpeed(ReplaySpeed /*speed*/) {}
  virtual void SeekReplay(const SeekTarget& /*target*/) {}
  virtual void StepReplay(bool /*forward*/) {}
};

// Carries out the command on the first line of text (an executed DDE text; nothing when it has
// no line). Runs to its end, modal messages of the operations included.
void HVNExecuteMacro(std::string_view text, MacroActions& actions);

}  // namespace pelmora::dde
