#include "analysis/log_file.h"

#include <cerrno>
#include <cstdio>

#include "analysis/run_error.h"

namespace tivenor {

namespace {

void CloseChecked(std::FILE* file, const std::string& fileName) {
  if (std::fclose(file) != 0) ThrowIoError(fileName, errno);
}

}  // namespace

void WriteLogLine(LogFile& log, const std::string& text) {
  if (log.LogFresh) {
    std::FILE* created = std::fopen(log.FileName.c_str(), "wb");
    if (created == nullptr) ThrowIoError(log.FileName, errno);
    CloseChecked(created, log.FileName);
    log.LogFresh = false;
  }
  // Append mode creates the file again if it vanished since the first line of the run.
  std::FILE* file = std::fopen(log.FileName.c_str(), "ab");
  if (file == nullptr) ThrowIoError(log.FileName, errno);
  const std::string line = text + "\r\n";
  if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) {
    const int error = errno;
    std::fclose(file);
    ThrowIoError(log.FileName, error);
  }
  CloseChecked(file, log.FileName);
}

}  // namespace tivenor
