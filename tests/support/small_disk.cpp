#include "tests/support/small_disk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace tivenor::testing {

SmallDisk::SmallDisk(const std::string& folder, uint64_t bytes) : folder_(folder) {
  std::filesystem::create_directories(folder_);
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
  if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}

uint64_t SmallDisk::FreeBytes() const {
  struct statvfs disk {};
  if (statvfs(folder_.c_str(), &disk) != 0) throw std::runtime_error("no disk at " + folder_);
  return static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize;
}

void SmallDisk::LeaveFree(uint64_t bytes) const {
  struct statvfs disk {};
  if (statvfs(folder_.c_str(), &disk) != 0) throw std::runtime_error("no disk at " + folder_);
  bytes -= bytes % disk.f_frsize;
  const uint64_t free = FreeBytes();
  if (free < bytes) throw std::runtime_error("the disk has less room than asked for");
  const int filler = open(File(".filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (filler < 0) throw std::runtime_error("cannot fill " + folder_);
  // tmpfs counts whole pages; posix_fallocate takes them without writing them.
  const int failed = posix_fallocate(filler, 0, static_cast<off_t>(free - bytes));
  close(filler);
  if (failed != 0 || FreeBytes() != bytes) throw std::runtime_error("cannot fill " + folder_);
}

bool SmallDisk::MakeReadOnly() const {
  return mounted_ && mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

}  // namespace tivenor::testing
