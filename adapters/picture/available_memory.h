#pragma once
// How much memory a picture may take: the system's memory not in use, and less where the
// process's own limits leave less.

#include <cstdint>

namespace tivenor {

// Bytes the process can still allocate without running the machine out of memory.
uint64_t AvailableMemoryBytes();

}  // namespace tivenor
