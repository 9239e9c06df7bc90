// The option back end over hvnreg32.dll's GetHVNAppOption and SetHVNAppOption, imported by name
// at load time: the program does not start without the library.
#pragma once

#include "app/settings/OptionStore.h"

namespace pelmora {

class RegistryOptionBackend : public OptionBackend {
 public:
  uint32_t GetHVNAppOption(const char* app, const char* name, char* buf, uint32_t size) override;
  uint32_t SetHVNAppOption(const char* app, const char* name, const char* value) override;
};

}  // namespace pelmora
