#pragma once
// The log "musicbox.log": started afresh at the first line of a program run, then appended to,
// opened and closed for every line so that the file on disk is always complete.

#include <string>

namespace tivenor {

inline constexpr const char* kLogFileName = "musicbox.log";

struct LogFile {
  std::string FileName = kLogFileName;  // relative: follows the current folder at each line
  bool LogFresh = true;                 // the next line starts the file afresh
};

// Appends one line ended by CR LF. Throws RunError naming the file on an input/output failure.
void WriteLogLine(LogFile& log, const std::string& text);

}  // namespace tivenor
