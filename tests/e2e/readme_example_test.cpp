// The README shows what the converter prints for the sample disc; the example must stay true.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/converter_run.h"

namespace tivenor::testing {
namespace {

// The README's lines that start with `prefix`, in order.
std::vector<std::string> ReadmeLines(const std::string& prefix) {
  std::ifstream in(TIVENOR_README);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  }
  return lines;
}

TEST(ReadmeExample, TheSummaryLinesAreWhatTheConverterPrints) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "samples");
  std::filesystem::copy_file(TIVENOR_SAMPLES_DIR "/twinkle.bmp",
                             folder.path() / "samples" / "twinkle.bmp");
  const ConverterRun run = RunConverter(folder, "samples/twinkle.bmp");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const std::string summary = run.errors.substr(run.errors.rfind("samples/twinkle.bmp: "));

  const std::vector<std::string> examples = ReadmeLines("samples/twinkle.bmp: ");
  ASSERT_FALSE(examples.empty()) << "the README shows no summary line";
  for (const std::string& example : examples) EXPECT_EQ(example + "\n", summary);
}

}  // namespace
}  // namespace tivenor::testing
