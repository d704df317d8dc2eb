#include "tests/e2e/converter_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tivenor::testing {

namespace {

ConverterRun Run(const TempFolder& folder, const std::string& setup, const std::string& arguments,
                 int timeLimitSeconds) {
  const std::string errorFile = (folder.path() / "stderr.txt").string();
  const std::string command = "cd '" + folder.path().string() + "' && " + setup + "timeout " +
                              std::to_string(timeLimitSeconds) + " '" TIVENOR_CONVERT "' " +
                              arguments + " </dev/null >/dev/null 2>'" + errorFile + "'";
  const int status = std::system(command.c_str());
  ConverterRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.errors = FileBytes(errorFile);
  std::filesystem::remove(errorFile);
  return run;
}

}  // namespace

ConverterRun RunConverter(const TempFolder& folder, const std::string& arguments,
                          int timeLimitSeconds) {
  return Run(folder, "", arguments, timeLimitSeconds);
}

ConverterRun RunConverterWithinMemory(const TempFolder& folder, const std::string& arguments,
                                      long kilobytes) {
  return Run(folder, "ulimit -v " + std::to_string(kilobytes) + " && ", arguments, 60);
}

std::string FileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace tivenor::testing
