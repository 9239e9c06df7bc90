// Service name and start-up failure message of the DDE server.
#include "app/dde/DdeStartup.h"

#include <cstdio>

namespace pelmora::dde {

std::string ServiceNameFromPath(std::string_view programPath) {
  const size_t slash = programPath.find_last_of("\\/:");
  std::string_view name =
      slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  return std::string(name.substr(0, name.find('.')));
}

std::string DdeStartupMessage(uint32_t error) {
  const char* format = "An error returned from DDE  ($0%x)";
  if (error == kDmlErrLowMemory || error == kDmlErrMemoryError) {
    format = "Error occurred when DDE ran out of memory ($0%x)";
  } else if (error == kDmlErrNoConvEstablished) {
    format = "DDE Error - conversation not established ($0%x)";
  }
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<unsigned>(error));
  return text;
}

}  // namespace pelmora::dde
