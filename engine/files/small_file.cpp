#include "engine/files/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "engine/base/run_error.h"

namespace tivenor {

namespace {

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

// Closes the descriptor however the read ends.
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return descriptor_; }

 private:
  int descriptor_;
};

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "a device";
}

std::string SizeText(std::size_t bytes) {
  if (bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MB";
  return std::to_string(bytes) + " bytes";
}

[[noreturn]] void ThrowTooLarge(const std::string& fileName, std::size_t limitBytes,
                                const std::string& kindOfFile) {
  throw RunError("\"" + fileName + "\": too large for " + kindOfFile + " (more than " +
                 SizeText(limitBytes) + ")");
}

}  // namespace

std::string ReadSmallFile(const std::string& fileName, std::size_t limitBytes,
                          const std::string& kindOfFile) {
  // Opening a named pipe without O_NONBLOCK would wait for a writer.
  const Descriptor file(open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.Get() < 0) ThrowIoError(fileName, errno);
  struct stat status {};
  if (fstat(file.Get(), &status) != 0) ThrowIoError(fileName, errno);
  if (!S_ISREG(status.st_mode)) {
    throw RunError("\"" + fileName + "\": it is " + KindOf(status.st_mode) +
                   ", not a regular file");
  }
  if (static_cast<uint64_t>(status.st_size) > limitBytes) {
    ThrowTooLarge(fileName, limitBytes, kindOfFile);
  }
  // The file may grow while it is read: one byte more than the limit says so.
  std::string bytes(static_cast<std::size_t>(status.st_size) + 1, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (bytes.size() > limitBytes) ThrowTooLarge(fileName, limitBytes, kindOfFile);
      bytes.resize(std::min(bytes.size() * 2, limitBytes + 1));
    }
    const ssize_t count = read(file.Get(), bytes.data() + filled, bytes.size() - filled);
    if (count < 0) {
      if (errno == EINTR) continue;
      ThrowIoError(fileName, errno);
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace tivenor
