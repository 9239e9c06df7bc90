// The running program's full path from the module table.
#include <windows.h>

#include <string>

#include "app/settings/AppDirectory.h"

namespace pelmora {

std::string GetAppDirectory() {
  // Long paths: grow the buffer until the name fits (GetModuleFileNameA truncates silently and
  // returns the buffer size when it does not).
  std::string path(MAX_PATH, '\0');
  for (int attempt = 0; attempt < 6; ++attempt) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return ExtractDirectory(path);
    }
    path.assign(path.size() * 2, '\0');
  }
  return std::string();
}

}  // namespace pelmora
