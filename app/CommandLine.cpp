// The command line's switches and log.
#include "app/CommandLine.h"

#include <algorithm>
#include <string_view>

namespace pelmora {
namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSwitch(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '/') return false;
  const std::string_view name = arg.substr(1, arg.find(':') - 1);
  return !name.empty() && std::all_of(name.begin(), name.end(), IsLetter);
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

std::optional<ProgramArguments> ParseProgramArguments(const std::vector<std::string>& args) {
  ProgramArguments parsed;
  bool haveLog = false;
  for (const std::string& arg : args) {
    if (!IsSwitch(arg)) {
      if (!haveLog) parsed.log = arg;
      haveLog = true;
      continue;
    }
    if (haveLog) return std::nullopt;
    const size_t colon = arg.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const std::string name = Lower(std::string_view(arg).substr(1, colon - 1));
    const std::string_view value = std::string_view(arg).substr(colon + 1);
    if (name == "speed" && !parsed.speed) {
      parsed.speed = ParseReplaySpeed(value);
      if (!parsed.speed) return std::nullopt;
    } else if (name == "seek" && !parsed.seek) {
      parsed.seek = ParseReplayTime(value);
      if (!parsed.seek) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (parsed.seek && parsed.log.empty()) return std::nullopt;
  return parsed;
}

}  // namespace pelmora
