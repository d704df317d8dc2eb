#pragma once
// The log "musicbox.log": started afresh at the first line of a program run, then appended to.
// Every line is complete in the file when WriteLogLine returns. The file stays open between
// lines while its name still names it, which makes a line one system call and a look-up
// instead of an open and a close; a log deleted, replaced or left behind by a change of the
// current folder is opened again by name.

#include <string>

#include "engine/files/file_identity.h"

namespace tivenor {

inline constexpr const char* kLogFileName = "musicbox.log";

class LogFile {
 public:
  LogFile() = default;
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  std::string FileName = kLogFileName;  // relative: follows the current folder at each line
  bool LogFresh = true;                 // the next line starts the file afresh

 private:
  friend void WriteLogLine(LogFile& log, const std::string& text);
  int descriptor_ = -1;  // the open log, or -1
  FileIdentity identity_;
};

// Appends one line ended by CR LF. Throws RunError naming the file on an input/output failure.
void WriteLogLine(LogFile& log, const std::string& text);

}  // namespace tivenor
