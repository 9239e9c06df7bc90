// JsonObject.
#include "app/net/Json.h"

#include <cmath>
#include <cstdio>

namespace pelmora::net {

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c >= 0x7F) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += ch;
    }
  }
  out += '"';
}

JsonObject::JsonObject(std::string_view className) : text_("{") {
  Str("class", className);
}

void JsonObject::Key(std::string_view key) {
  if (!first_) text_ += ',';
  first_ = false;
  AppendJsonString(text_, key);
  text_ += ':';
}

JsonObject& JsonObject::Str(std::string_view key, std::string_view value) {
  Key(key);
  AppendJsonString(text_, value);
  return *this;
}

JsonObject& JsonObject::Int(std::string_view key, long long value) {
  Key(key);
  text_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Num(std::string_view key, double value, int decimals) {
  // Far beyond any quantity reported; also keeps the text short.
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return *this;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  Key(key);
  text_ += text;
  return *this;
}

JsonObject& JsonObject::Bool(std::string_view key, bool value) {
  Key(key);
  text_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json) {
  Key(key);
  text_ += json;
  return *this;
}

std::string JsonObject::Done() {
  text_ += '}';
  return std::move(text_);
}

}  // namespace pelmora::net
