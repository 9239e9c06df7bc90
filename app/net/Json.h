// A small JSON writer for the gpsd reports: one object at a time, keys in the order written.
// Strings are escaped to plain ASCII (control characters and bytes above 0x7F as \u00XX, the
// program's texts being Windows-1252 Latin); a number that is not finite is left out with its
// key, since JSON has no NaN or infinity. Portable.
#pragma once

#include <string>
#include <string_view>

namespace pelmora::net {

void AppendJsonString(std::string& out, std::string_view text);

class JsonObject {
 public:
  JsonObject() : text_("{") {}
  // {"class":"NAME" ...
  explicit JsonObject(std::string_view className);

  JsonObject& Str(std::string_view key, std::string_view value);
  JsonObject& Int(std::string_view key, long long value);
  // Fixed decimals; nothing at all when value is NaN, infinite or beyond 1e15.
  JsonObject& Num(std::string_view key, double value, int decimals);
  JsonObject& Bool(std::string_view key, bool value);
  // A value already in JSON (an object or an array).
  JsonObject& Raw(std::string_view key, std::string_view json);

  // The finished object, without a line end (the builder is left empty).
  std::string Done();

 private:
  void Key(std::string_view key);

  std::string text_;
  bool first_ = true;
};

}  // namespace pelmora::net
