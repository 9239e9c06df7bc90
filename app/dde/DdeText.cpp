// Line splitting, item encoding and ASCII case folding for the DDE server.
#include "app/dde/DdeText.h"

namespace pelmora::dde {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

std::string_view UpToNul(std::string_view text) {
  const size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// The line starting at pos and the position after its break; pos must be inside text.
std::string_view NextLine(std::string_view text, size_t* pos) {
  const size_t start = *pos;
  size_t end = text.find_first_of("\r\n", start);
  if (end == std::string_view::npos) end = text.size();
  size_t next = end;
  if (next < text.size()) {
    ++next;  // the CR or LF
    if (text[end] == kCr && next < text.size() && text[next] == kLf) ++next;
  }
  *pos = next;
  return text.substr(start, end - start);
}

char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  text = UpToNul(text);
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size())
    lines.emplace_back(NextLine(text, &pos));
  return lines;
}

bool FirstLine(std::string_view text, std::string* line) {
  text = UpToNul(text);
  if (text.empty()) return false;
  size_t pos = 0;
  *line = std::string(NextLine(text, &pos));
  return true;
}

std::string EncodeItemValue(const std::vector<std::string>& lines) {
  std::string value;
  size_t size = 1;
  for (const std::string& line : lines)
    size += line.size() + 2;
  value.reserve(size);
  for (const std::string& line : lines) {
    value += line;
    value += kCr;
    value += kLf;
  }
  value += '\0';
  return value;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace pelmora::dde
