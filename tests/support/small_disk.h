#pragma once
// A small disk for the tests of full and read-only disks: a tmpfs mounted on a fresh folder and
// unmounted again at the end. Mounting needs root (as CI runs the tests); where it is refused,
// Mounted() says so and the test skips.

#include <cstdint>
#include <string>

namespace tivenor::testing {

class SmallDisk {
 public:
  // Mounts `bytes` of tmpfs on `folder`, which is made if it does not exist.
  SmallDisk(const std::string& folder, uint64_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  std::string File(const std::string& name) const { return folder_ + "/" + name; }
  uint64_t FreeBytes() const;
  // Fills the disk with a file of its own until `bytes`, rounded down to whole pages, stay free.
  void LeaveFree(uint64_t bytes) const;
  // Makes the disk read-only: no one, root included, can write on it.
  bool MakeReadOnly() const;

 private:
  std::string folder_;
  bool mounted_ = false;
};

}  // namespace tivenor::testing
