#include "engine/files/temporary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tivenor {

int CreateTemporaryBeside(const std::string& target, std::string& temporaryName) {
  for (int attempt = 0;; ++attempt) {
    temporaryName = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    const int fd = open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST || attempt >= 100) return fd;
  }
}

}  // namespace tivenor
