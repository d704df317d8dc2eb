#pragma once
// Runs tivenor-convert as a user runs it from a terminal in a folder, with a time limit.

#include <string>

#include "tests/e2e/temp_folder.h"

namespace tivenor::testing {

struct ConverterRun {
  int exitCode = -1;   // 124 when the time limit ended it
  std::string errors;  // what it printed on stderr: progress, summaries, failures
};

// Runs the converter inside `folder` (its log goes there); `arguments` as typed in a shell.
ConverterRun RunConverter(const TempFolder& folder, const std::string& arguments,
                          int timeLimitSeconds = 60);
// The same with the converter's address space limited, as `ulimit -v` does.
ConverterRun RunConverterWithinMemory(const TempFolder& folder, const std::string& arguments,
                                      long kilobytes);

std::string FileBytes(const std::string& fileName);

}  // namespace tivenor::testing
