// Writing log lines: a flooded hole writes thousands of them in one scan, each of which must be
// complete on disk when the call returns.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/files/log_file.h"

namespace {

void BM_WriteLogLine(benchmark::State& state) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("tivenor-log-bench-" + std::to_string(getpid()) + ".log");
  tivenor::LogFile log;
  log.FileName = file.string();
  for (auto _ : state) tivenor::WriteLogLine(log, "ERROR: too many pixels in disk hole");
  state.SetItemsProcessed(state.iterations());
  std::filesystem::remove(file);
}
BENCHMARK(BM_WriteLogLine);

}  // namespace

BENCHMARK_MAIN();
