// The StringTable over navres32.dll, loaded by name at run time with LoadLibraryA.
#pragma once

#include <windows.h>

#include "app/StringTable.h"

namespace pelmora {

class ResourceStringTable : public StringTable {
 public:
  ResourceStringTable() = default;
  ~ResourceStringTable() override { Free(); }
  ResourceStringTable(const ResourceStringTable&) = delete;
  ResourceStringTable& operator=(const ResourceStringTable&) = delete;

  bool Load() override;
  std::string Get(int id) const override;
  void Free() override;

 private:
  HMODULE module_ = nullptr;
};

}  // namespace pelmora
