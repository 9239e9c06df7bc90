// The portable half of the program-directory lookup.
#include "app/settings/AppDirectory.h"

namespace pelmora {

std::string ExtractDirectory(const std::string& path) {
  const std::string::size_type slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace pelmora
