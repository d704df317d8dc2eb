// Work run at once: every piece exactly once, the first on the caller's thread, and a piece that
// throws leaves no thread running.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "engine/base/run_at_once.h"

namespace tivenor {
namespace {

TEST(RunAtOnce, RunsEveryPieceOnceTheFirstOnTheCallersThread) {
  std::array<std::atomic<int>, 5> runs{};
  std::thread::id first;
  RunAtOnce(runs.size(), [&](std::size_t i) {
    ++runs[i];
    if (i == 0) first = std::this_thread::get_id();
  });
  for (const std::atomic<int>& count : runs) EXPECT_EQ(count.load(), 1);
  EXPECT_EQ(first, std::this_thread::get_id());
  RunAtOnce(0, [&](std::size_t) { ++runs[0]; });
  EXPECT_EQ(runs[0].load(), 1);
}

TEST(RunAtOnce, AThrowingPieceIsPassedOnAfterTheOthersEnd) {
  std::atomic<int> finished = 0;
  EXPECT_THROW(RunAtOnce(3,
                         [&](std::size_t i) {
                           if (i == 0) throw std::runtime_error("no");
                           std::this_thread::sleep_for(std::chrono::milliseconds(20));
                           ++finished;
                         }),
               std::runtime_error);
  EXPECT_EQ(finished.load(), 2);
}

}  // namespace
}  // namespace tivenor
