#pragma once
// The converter program run in a folder as a user runs it: its exit status and what it printed.

#include <string>

#include "tests/e2e/temp_folder.h"

namespace tivenor::testing {

struct ConverterRun {
  int exitCode = -1;
  std::string errors;  // stderr: progress, summaries, warnings, failures
};

// Runs tivenor-convert inside `folder` (its log lands there) with the given arguments.
ConverterRun RunConverter(const TempFolder& folder, const std::string& arguments);

}  // namespace tivenor::testing
