// Rewrites a registry key's access list so that Everyone (S-1-1-0) has full access to the key
// and its subkeys, in front of the key's other entries.
#pragma once

#include <windows.h>

#include <cstdint>

namespace hvnreg32 {

// Returns 1 when the key's new access list was written, 0 on any failure (after printing
// "Error <code>:<function>" to standard output; the key is then unchanged).
int32_t GrantEveryoneKeyAccess(HKEY key);

}  // namespace hvnreg32
