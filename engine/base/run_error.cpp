#include "engine/base/run_error.h"

#include <cstring>

namespace tivenor {

void ThrowIoError(const std::string& fileName, int errorNumber) {
  throw RunError("\"" + fileName + "\": " + std::strerror(errorNumber));
}

}  // namespace tivenor
