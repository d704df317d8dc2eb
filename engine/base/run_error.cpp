#include "engine/base/run_error.h"

#include <cerrno>
#include <cstring>

namespace tivenor {

void ThrowIoError(const std::string& fileName, int errorNumber) {
  // The platform says "No space left on device"; people say the disk is full.
  const char* text = errorNumber == ENOSPC ? kDiskFull : std::strerror(errorNumber);
  throw RunError("\"" + fileName + "\": " + text);
}

}  // namespace tivenor
