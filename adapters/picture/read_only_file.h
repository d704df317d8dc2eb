#pragma once
// A file opened for reading by its descriptor: its size, and reads at an offset that say when
// the file ends early.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tivenor {

class ReadOnlyFile {
 public:
  // Opens the file; IsOpen() says whether that worked, Error() why not.
  explicit ReadOnlyFile(const std::string& fileName);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool IsOpen() const { return descriptor_ >= 0; }
  // The system's error number when opening failed.
  int Error() const { return error_; }
  // The size when opened; 0 for what is no regular file.
  uint64_t Size() const { return size_; }
  // Reads up to `count` bytes at `offset`; fewer only where the file ends. Throws
  // std::system_error when the system cannot read it.
  std::size_t ReadAt(uint64_t offset, void* into, std::size_t count) const;

 private:
  int descriptor_ = -1;
  int error_ = 0;
  uint64_t size_ = 0;
};

}  // namespace tivenor
