#include "engine/files/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "engine/base/run_error.h"

namespace tivenor {

namespace {

void Close(int& descriptor) {
  if (descriptor >= 0) close(descriptor);
  descriptor = -1;
}

// Opens the log by name; `flags` add O_TRUNC for the first line of a run.
int OpenLog(const std::string& fileName, int flags, FileIdentity& identity) {
  const int descriptor =
      open(fileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | flags, 0666);
  if (descriptor < 0) ThrowIoError(fileName, errno);
  struct stat status {};
  if (fstat(descriptor, &status) != 0) {
    const int error = errno;
    close(descriptor);
    ThrowIoError(fileName, error);
  }
  identity = {status.st_dev, status.st_ino};
  return descriptor;
}

void WriteWhole(int descriptor, const std::string& text, const std::string& fileName) {
  static constexpr char kLineEnd[] = "\r\n";
  iovec parts[2] = {{const_cast<char*>(text.data()), text.size()},
                    {const_cast<char*>(kLineEnd), 2}};
  std::size_t left = text.size() + 2;
  int part = 0;
  while (left > 0) {
    const ssize_t written = writev(descriptor, parts + part, 2 - part);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) ThrowIoError(fileName, written < 0 ? errno : EIO);
    left -= static_cast<std::size_t>(written);
    for (std::size_t done = static_cast<std::size_t>(written); done > 0 && part < 2;) {
      const std::size_t taken = std::min(done, parts[part].iov_len);
      parts[part].iov_base = static_cast<char*>(parts[part].iov_base) + taken;
      parts[part].iov_len -= taken;
      done -= taken;
      if (parts[part].iov_len == 0) ++part;
    }
  }
}

}  // namespace

LogFile::~LogFile() {
  Close(descriptor_);
}

void WriteLogLine(LogFile& log, const std::string& text) {
  if (log.LogFresh) {
    Close(log.descriptor_);
    log.descriptor_ = OpenLog(log.FileName, O_TRUNC, log.identity_);
    log.LogFresh = false;
  } else if (log.descriptor_ < 0 || IdentityOf(log.FileName) != log.identity_) {
    // Deleted, replaced, or another current folder: the name decides which file gets the line.
    Close(log.descriptor_);
    log.descriptor_ = OpenLog(log.FileName, 0, log.identity_);
  }
  WriteWhole(log.descriptor_, text, log.FileName);
}

}  // namespace tivenor
