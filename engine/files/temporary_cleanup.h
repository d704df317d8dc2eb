#pragma once
// A temporary file being written is removed when SIGINT, SIGTERM or SIGHUP ends the program, so
// that an interrupted save leaves nothing behind. This is the engine's one piece of process-wide
// state: a signal handler can reach nothing else. It holds one path (of at most 4096 bytes),
// that of the save in progress; a second save running at the same time on another thread goes
// unregistered, and its temporary stays when a signal ends the program.

#include <string>

namespace tivenor {

class TemporaryCleanup {
 public:
  // Registers `path` and, for each of the signals whose action is still the default (ending the
  // program), installs the handler that removes it. An empty path registers nothing.
  explicit TemporaryCleanup(const std::string& path);
  // Unregisters the path and puts the signals' default actions back.
  ~TemporaryCleanup();
  TemporaryCleanup(const TemporaryCleanup&) = delete;
  TemporaryCleanup& operator=(const TemporaryCleanup&) = delete;

 private:
  bool registered_ = false;
  unsigned installed_ = 0;  // one bit per signal whose handler this object installed
};

}  // namespace tivenor
