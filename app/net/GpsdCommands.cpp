// CommandReader's state machine and the WATCH argument.
#include "app/net/GpsdCommands.h"

#include <cctype>
#include <charconv>
#include <variant>

namespace pelmora::net {
namespace {

bool IsLineEnd(char c) {
  return c == '\n' || c == '\r';
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A flat JSON object's values: true/false, numbers, strings (null counts as absent).
using JsonValue = std::variant<std::monostate, bool, double, std::string>;

class FlatObjectParser {
 public:
  explicit FlatObjectParser(std::string_view text) : text_(text) {}

  // Calls field(key, value) for each member; false with error set when malformed.
  template <class F>
  bool Parse(F field) {
    Blanks();
    if (!Take('{')) return Fail("expected '{'");
    Blanks();
    if (Take('}')) return End();
    for (;;) {
      std::string key;
      Blanks();
      if (!String(key)) return Fail("expected a quoted member name");
      Blanks();
      if (!Take(':')) return Fail("expected ':'");
      Blanks();
      JsonValue value;
      if (!Value(value)) return false;
      if (auto problem = field(key, value)) return Fail(*problem);
      Blanks();
      if (Take('}')) return End();
      if (!Take(',')) return Fail("expected ',' or '}'");
    }
  }
  const std::string& error() const { return error_; }

 private:
  bool End() {
    Blanks();
    return pos_ == text_.size() || Fail("text after the object");
  }
  bool Fail(std::string reason) {
    error_ = std::move(reason);
    return false;
  }
  void Blanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
      ++pos_;
  }
  bool Take(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }
  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return false;
      const char e = text_[pos_++];
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          unsigned code = 0;
          const char* first = text_.data() + pos_;
          if (text_.size() - pos_ < 4) return false;
          const auto r = std::from_chars(first, first + 4, code, 16);
          if (r.ptr != first + 4) return false;
          pos_ += 4;
          out += code < 0x100 ? static_cast<char>(code) : '?';
          break;
        }
        default:
          out += e;  // \" \\ \/
      }
    }
    return false;
  }
  bool Value(JsonValue& value) {
    if (pos_ >= text_.size()) return Fail("value missing");
    const char c = text_[pos_];
    if (c == '"') {
      std::string s;
      if (!String(s)) return Fail("unterminated string");
      value = std::move(s);
      return true;
    }
    if (c == '{' || c == '[') return Fail("nested values are not supported");
    if (Word("true")) {
      value = true;
      return true;
    }
    if (Word("false")) {
      value = false;
      return true;
    }
    if (Word("null")) return true;
    double d = 0;
    const char* first = text_.data() + pos_;
    const auto r = std::from_chars(first, text_.data() + text_.size(), d);
    if (r.ec != std::errc() || r.ptr == first) return Fail("malformed value");
    pos_ += static_cast<std::size_t>(r.ptr - first);
    value = d;
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace

void CommandReader::Grow(char c) {
  if (++length_ > kMaxCommandLength) {
    overflowed_ = true;
    return;
  }
  // Keep what an answer may quote: the whole request, or the start of junk.
  if (current_.junk) {
    if (current_.argument.size() < 40) current_.argument += c;
  } else if (state_ == State::Name) {
    current_.name += c;
  } else {
    current_.argument += c;
  }
}

void CommandReader::Finish(std::vector<GpsdCommand>& out) {
  out.push_back(std::move(current_));
  current_ = GpsdCommand{};
  state_ = State::Between;
  length_ = 0;
  depth_ = 0;
}

void CommandReader::Feed(std::string_view bytes, std::vector<GpsdCommand>& out) {
  for (const char c : bytes) {
    if (overflowed_) return;
    switch (state_) {
      case State::Between:
        if (c == ';' || c == ' ' || c == '\t' || IsLineEnd(c)) break;
        if (c == '?') {
          state_ = State::Name;
          length_ = 1;
          break;
        }
        current_.junk = true;
        state_ = State::Junk;
        Grow(c);
        break;
      case State::Name:
        if (IsLetter(c)) {
          Grow(c);
        } else if (c == ';' || IsLineEnd(c)) {
          Finish(out);
        } else if (c == '=') {
          state_ = State::Equals;
          ++length_;
        } else {
          // "?name" followed by anything else is no request.
          current_.argument = "?" + current_.name;
          current_.name.clear();
          current_.junk = true;
          state_ = State::Junk;
          Grow(c);
        }
        break;
      case State::Equals:
        if (c == '{') {
          state_ = State::Object;
          depth_ = 1;
          Grow(c);
        } else if (IsLineEnd(c) || c == ';') {
          Finish(out);  // "?WATCH=;": an empty argument, refused by the command
        } else if (c != ' ') {
          current_.argument = c;
          current_.junk = true;
          state_ = State::Junk;
          ++length_;
        }
        break;
      case State::Object:
        Grow(c);
        if (c == '"') {
          state_ = State::String;
        } else if (c == '{') {
          ++depth_;
        } else if (c == '}' && --depth_ == 0) {
          Finish(out);  // the object ends the request; a following ';' is skipped
        }
        break;
      case State::String:
        Grow(c);
        if (c == '\\')
          state_ = State::Escape;
        else if (c == '"')
          state_ = State::Object;
        break;
      case State::Escape:
        Grow(c);
        state_ = State::String;
        break;
      case State::Junk:
        if (IsLineEnd(c))
          Finish(out);
        else
          Grow(c);
        break;
    }
  }
}

std::optional<std::string> ApplyWatch(std::string_view argument, WatchPolicy& policy) {
  WatchPolicy next = policy;
  next.enable = true;
  FlatObjectParser parser(argument);
  const bool ok = parser.Parse(
      [&](const std::string& key, const JsonValue& value) -> std::optional<std::string> {
        if (std::holds_alternative<std::monostate>(value)) return std::nullopt;
        bool* flag = nullptr;
        if (key == "enable") flag = &next.enable;
        if (key == "json") flag = &next.json;
        if (key == "nmea") flag = &next.nmea;
        if (key == "scaled") flag = &next.scaled;
        if (key == "timing") flag = &next.timing;
        if (key == "split24") flag = &next.split24;
        if (key == "pps") flag = &next.pps;
        // Lenient as real clients need: flags also as 0 or 1, "raw" also as true or false.
        const bool* b = std::get_if<bool>(&value);
        const double* d = std::get_if<double>(&value);
        if (flag != nullptr) {
          if (b != nullptr)
            *flag = *b;
          else if (d != nullptr && (*d == 0 || *d == 1))
            *flag = *d == 1;
          else
            return "\"" + key + "\" must be true or false";
        } else if (key == "raw") {
          if (b != nullptr)
            next.raw = *b ? 1 : 0;
          else if (d != nullptr && (*d == 0 || *d == 1 || *d == 2))
            next.raw = static_cast<int>(*d);
          else
            return std::string("\"raw\" must be 0, 1 or 2");
        } else if (key == "device") {
          if (!std::holds_alternative<std::string>(value))
            return std::string("\"device\" must be text");
          next.device = std::get<std::string>(value);
        }
        return std::nullopt;  // members gpsd knows and this server does not use are ignored
      });
  if (!ok) return parser.error();
  policy = next;
  return std::nullopt;
}

}  // namespace pelmora::net
