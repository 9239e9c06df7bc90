// The program's user-visible texts, loaded by number from the resource-string library.
// Portable interface: the Win32 side loads navres32.dll; tests use a map.
#pragma once

#include <string>

namespace pelmora {

// Buffer size of one string load, terminating zero included.
constexpr int kResourceStringBuffer = 255;

class StringTable {
 public:
  virtual ~StringTable() = default;
  // Loads the library; false when it cannot be loaded.
  virtual bool Load() = 0;
  // The text of id in Windows-1252, at most kResourceStringBuffer - 1 characters; empty when
  // the library is not loaded or has no such string.
  virtual std::string Get(int id) const = 0;
  virtual void Free() = 0;
};

}  // namespace pelmora
