#include "adapters/picture/regular_file.h"

#include <sys/stat.h>

#include "adapters/picture/picture_checks.h"

namespace tivenor {

bool IsRegularFile(const std::string& fileName) {
  struct stat status {};
  return stat(fileName.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

void RequireRegularFile(const std::string& fileName) {
  struct stat status {};
  if (stat(fileName.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return;
  const char* kind = S_ISDIR(status.st_mode)    ? "a folder"
                     : S_ISFIFO(status.st_mode) ? "a named pipe"
                     : S_ISSOCK(status.st_mode) ? "a socket"
                                                : "a device";
  ThrowPictureError(fileName, std::string("it is ") + kind + ", not a regular file");
}

}  // namespace tivenor
