#include "app/FileDialog.h"

namespace pelmora {

std::string CommonDialogFilter(std::string_view filter) {
  std::string out(filter);
  for (char& c : out) {
    if (c == '|') c = '\0';
  }
  // The list ends at the first empty entry: make sure there is one.
  while (out.size() < 2 || out[out.size() - 1] != '\0' || out[out.size() - 2] != '\0')
    out.push_back('\0');
  return out;
}

}  // namespace pelmora
