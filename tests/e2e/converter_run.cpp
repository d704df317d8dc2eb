#include "tests/e2e/converter_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tivenor::testing {

ConverterRun RunConverter(const TempFolder& folder, const std::string& arguments,
                          int timeLimitSeconds) {
  const std::string errorFile = (folder.path() / "stderr.txt").string();
  const std::string command = "cd '" + folder.path().string() + "' && timeout " +
                              std::to_string(timeLimitSeconds) + " '" TIVENOR_CONVERT "' " +
                              arguments + " </dev/null >/dev/null 2>'" + errorFile + "'";
  const int status = std::system(command.c_str());
  ConverterRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.errors = FileBytes(errorFile);
  std::filesystem::remove(errorFile);
  return run;
}

std::string FileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace tivenor::testing
