// Strings of navres32.dll, read with LoadStringA into a 255-character buffer.
#include "app/ResourceStringTable_win.h"

namespace pelmora {

bool ResourceStringTable::Load() {
  Free();
  module_ = LoadLibraryA("navres32.dll");
  // A handle below 32 counts as failure, as for the 16-bit loader.
  if (reinterpret_cast<UINT_PTR>(module_) < 32) {
    module_ = nullptr;
    return false;
  }
  return true;
}

std::string ResourceStringTable::Get(int id) const {
  if (module_ == nullptr) return {};
  char buffer[kResourceStringBuffer] = {};
  const int n = LoadStringA(module_, static_cast<UINT>(id), buffer, kResourceStringBuffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

void ResourceStringTable::Free() {
  if (module_ != nullptr) {
    FreeLibrary(module_);
    module_ = nullptr;
  }
}

}  // namespace pelmora
