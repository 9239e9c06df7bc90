// Forwards the option store's two calls to hvnreg32.dll.
#include "app/settings/RegistryOptionBackend_win.h"

#include "hvnreg32/hvnreg32.h"

namespace pelmora {

uint32_t RegistryOptionBackend::GetHVNAppOption(const char* app, const char* name, char* buf,
                                                uint32_t size) {
  return ::GetHVNAppOption(app, name, buf, size);
}

uint32_t RegistryOptionBackend::SetHVNAppOption(const char* app, const char* name,
                                                const char* value) {
  return ::SetHVNAppOption(app, name, value);
}

}  // namespace pelmora
