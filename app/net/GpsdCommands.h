// The gpsd request syntax as clients send it: "?NAME;" or "?NAME={json object};", several per
// read or one spread over several reads, with ';' and line ends between them ignored. The reader
// is fed whatever a read returned and hands out complete commands. Anything that is not a
// request (text not starting with '?') becomes one Junk command per line, answered with an
// ERROR. A request still incomplete after kMaxCommandLength bytes (or junk without a line end
// as long) makes the reader Overflowed: the client is to be disconnected. Portable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::net {

struct GpsdCommand {
  std::string name;      // "WATCH", "POLL", ...; empty for junk
  std::string argument;  // the JSON object after '=', as sent; empty when none
  bool junk = false;     // text that is no request; name empty, argument holds its start
};

class CommandReader {
 public:
  // gpsd's own limit is 80 characters a line; real WATCH requests with a device path reach
  // about 200. Longer than this is no client we know.
  static constexpr std::size_t kMaxCommandLength = 1024;

  // Feeds received bytes; complete commands are appended to out.
  void Feed(std::string_view bytes, std::vector<GpsdCommand>& out);
  bool Overflowed() const { return overflowed_; }

 private:
  enum class State {
    Between,  // before a request: blanks, line ends and ';' are skipped
    Name,     // after '?', reading the command name
    Equals,   // after the name and '=', expecting '{'
    Object,   // inside the JSON argument
    String,   // inside a JSON string of the argument
    Escape,   // after a backslash inside that string
    Junk,     // text that is no request, up to the line end
  };

  void Finish(std::vector<GpsdCommand>& out);
  void Grow(char c);

  State state_ = State::Between;
  GpsdCommand current_;
  std::size_t length_ = 0;
  int depth_ = 0;
  bool overflowed_ = false;
};

// What a client asked to be sent (the WATCH object's fields that this server honours).
struct WatchPolicy {
  bool enable = false;
  bool json = false;
  bool nmea = false;
  int raw = 0;
  bool scaled = false;
  bool timing = false;
  bool split24 = false;
  bool pps = false;
  std::string device;
  // NMEA sentences are sent (nmea, or raw mode of either level).
  bool WantsNmea() const { return enable && (nmea || raw > 0); }
  bool WantsJson() const { return enable && json; }
};

// Applies a WATCH argument ("{...}") to the policy. A request with an argument enables watching
// unless it says "enable":false. Flags may be given as 0 or 1 and "raw" as true or false, as
// some clients send them. Fields of another type, nested values and malformed JSON are
// refused with the reason; the policy is then unchanged.
std::optional<std::string> ApplyWatch(std::string_view argument, WatchPolicy& policy);

}  // namespace pelmora::net
