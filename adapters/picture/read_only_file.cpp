#include "adapters/picture/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tivenor {

// Without blocking, so that a pipe given as a picture cannot stall the program here; reads of a
// regular file ignore the flag.
ReadOnlyFile::ReadOnlyFile(const std::string& fileName)
    : descriptor_(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)),
      error_(descriptor_ < 0 ? errno : 0) {
  struct stat status {};
  if (descriptor_ >= 0 && ::fstat(descriptor_, &status) == 0 && S_ISREG(status.st_mode))
    size_ = static_cast<uint64_t>(status.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

std::size_t ReadOnlyFile::ReadAt(uint64_t offset, void* into, std::size_t count) const {
  auto* bytes = static_cast<char*>(into);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got =
        ::pread(descriptor_, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (got == 0) break;  // the end of the file
    if (got < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category());
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

}  // namespace tivenor
