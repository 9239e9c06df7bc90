// Escaping of DDE data for the command-line tools.
#include "tools/ddecmd/EscapedText.h"

#include <cstdio>

namespace pelmora::tools {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string EscapeBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        if (c >= 0x20 && c <= 0x7E) {
          out += c;
        } else {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
          out += hex;
        }
    }
  }
  return out;
}

bool UnescapeText(std::string_view text, std::string* bytes) {
  bytes->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *bytes += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\':
        *bytes += '\\';
        break;
      case 'r':
        *bytes += '\r';
        break;
      case 'n':
        *bytes += '\n';
        break;
      case 't':
        *bytes += '\t';
        break;
      case '0':
        *bytes += '\0';
        break;
      case 'x': {
        const int hi = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int lo = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (hi < 0 || lo < 0) return false;
        *bytes += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

std::string EscapeDdeText(std::string_view data) {
  const size_t nul = data.find('\0');
  if (nul == std::string_view::npos) return EscapeBytes(data);
  return EscapeBytes(data.substr(0, nul)) + "\\0";
}

}  // namespace pelmora::tools
