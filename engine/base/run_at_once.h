#pragma once
// Several pieces of work at once, each on a thread of its own but the first, which runs on the
// caller's. Where no thread can be started (a limit on threads, a busy machine) a piece runs on
// the caller's thread instead: slower, never a failed reading. Every thread started is joined
// before this returns, also when a piece throws.

#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace tivenor {

// Calls work(i) for i in [0, count), at once where it can; `work` must let pieces run together.
template <typename Work>
void RunAtOnce(std::size_t count, const Work& work) {
  struct Joined {
    std::vector<std::thread> threads;
    ~Joined() {
      for (std::thread& thread : threads) thread.join();
    }
  } others;
  others.threads.reserve(count);
  std::vector<std::size_t> unstarted;
  for (std::size_t i = 1; i < count; ++i) {
    try {
      others.threads.emplace_back([&work, i] { work(i); });
    } catch (const std::system_error&) {
      unstarted.push_back(i);
    }
  }
  if (count > 0) work(0);
  for (const std::size_t i : unstarted) work(i);
}

}  // namespace tivenor
