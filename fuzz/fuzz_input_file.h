#pragma once
// The programs read their inputs from files, so a fuzz target's bytes go through one (in memory
// where possible), removed when the fuzzer ends.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace tivenor::fuzz {

class FuzzInputFile {
 public:
  explicit FuzzInputFile(const std::string& extension)
      : name_(std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : P_tmpdir) +
              "/tivenor-fuzz-" + std::to_string(getpid()) + extension) {}
  ~FuzzInputFile() { std::remove(name_.c_str()); }
  FuzzInputFile(const FuzzInputFile&) = delete;
  FuzzInputFile& operator=(const FuzzInputFile&) = delete;
  const std::string& name() const { return name_; }

  // Makes the file hold exactly `data`; false when it could not be written.
  bool Write(const uint8_t* data, size_t size) const {
    std::FILE* file = std::fopen(name_.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
  }

 private:
  std::string name_;
};

}  // namespace tivenor::fuzz
