#include "tests/e2e/converter_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tivenor::testing {

ConverterRun RunConverter(const TempFolder& folder, const std::string& arguments) {
  const std::string errorFile = folder.File("stderr.txt");
  const std::string command = "cd '" + folder.path().string() + "' && '" TIVENOR_CONVERT "' " +
                              arguments + " >/dev/null 2>'" + errorFile + "'";
  const int status = std::system(command.c_str());
  ConverterRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(errorFile);
  std::stringstream text;
  text << in.rdbuf();
  run.errors = text.str();
  return run;
}

}  // namespace tivenor::testing
