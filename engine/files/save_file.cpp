#include "engine/files/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "engine/base/run_error.h"
#include "engine/files/file_identity.h"

namespace tivenor {

namespace {

constexpr const char* kTemporaryPrefix = ".tivenor-";
constexpr int kTemporaryNameTries = 100;

// Six characters that another save, in this process or another, is unlikely to choose too; a
// clash only costs another try.
std::string UnlikelyName(int attempt) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  uint64_t mixed = static_cast<uint64_t>(now.tv_nsec) ^ (static_cast<uint64_t>(now.tv_sec) << 30) ^
                   (static_cast<uint64_t>(getpid()) << 20) ^ static_cast<uint64_t>(attempt);
  mixed *= 0x9E3779B97F4A7C15ull;
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name(6, 'a');
  for (char& letter : name) {
    mixed = (mixed >> 7) | (mixed << 57);
    letter = kLetters[(mixed >> 32) % 36];
  }
  return name;
}

// The folder part of a path, with its slash: "" for a name in the current folder.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {  // no error, yet no progress: the device is full
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

FileSaver::FileSaver(NamedFile target, const ReplaceRule& rule) : target_(std::move(target)) {
  RefuseNonRegularOutput(target_);
  const std::optional<std::string> followed = WithLinksFollowed(target_.path);
  if (!followed) ThrowIoError(target_.path, errno);
  finalPath_ = *followed;
  RefuseReplacingForeignFile(target_, rule);

  const std::string folder = FolderOf(finalPath_);
  for (int attempt = 0;; ++attempt) {
    temporary_ = folder + kTemporaryPrefix + UnlikelyName(attempt);
    // Registered before it exists, so that no signal finds it made and not yet registered.
    cleanup_.emplace(temporary_);
    descriptor_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ >= 0) break;
    const int error = errno;
    cleanup_.reset();  // the name is someone else's, or nothing was made
    if (error != EEXIST || attempt + 1 >= kTemporaryNameTries) {
      temporary_.clear();
      ThrowIoError(target_.path, error);
    }
  }
  // The new file keeps the old one's permissions, as if the old one had been written into.
  struct stat old {};
  if (stat(finalPath_.c_str(), &old) == 0) fchmod(descriptor_, old.st_mode & 07777);
}

FileSaver::~FileSaver() {
  if (descriptor_ >= 0) close(descriptor_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

void FileSaver::Save(std::string_view bytes) {
  if (descriptor_ < 0) Fail(EBADF);
  if (!WriteAll(descriptor_, bytes) || fsync(descriptor_) != 0) Fail(errno);
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (close(descriptor) != 0) Fail(errno);
  if (std::rename(temporary_.c_str(), finalPath_.c_str()) != 0) Fail(errno);
  temporary_.clear();
  cleanup_.reset();
}

void FileSaver::Fail(int errorNumber) {
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  cleanup_.reset();
  ThrowIoError(target_.path, errorNumber);
}

void SaveFile(const NamedFile& target, std::string_view bytes, const ReplaceRule& rule) {
  FileSaver(target, rule).Save(bytes);
}

}  // namespace tivenor
