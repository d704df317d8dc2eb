#include "programs/convert/ordered_jobs.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tivenor::cli {

void RunInOrder(std::size_t count, int jobs, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& finish) {
  const std::size_t threads =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), count);
  if (threads <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      work(i);
      finish(i);
    }
    return;
  }
  const std::size_t ahead = 2 * threads;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<bool> done(count, false);
  std::size_t next = 0;      // the next item a thread takes
  std::size_t finished = 0;  // items finished so far, in order

  auto worker = [&] {
    for (;;) {
      std::size_t item = 0;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return next >= count || next < finished + ahead; });
        if (next >= count) return;
        item = next++;
      }
      work(item);
      {
        const std::lock_guard lock(mutex);
        done[item] = true;
      }
      changed.notify_all();
    }
  };
  std::vector<std::thread> pool;
  pool.reserve(threads);
  for (std::size_t t = 0; t < threads; ++t) pool.emplace_back(worker);
  for (std::size_t i = 0; i < count; ++i) {
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return done[i]; });
    }
    finish(i);
    {
      const std::lock_guard lock(mutex);
      finished = i + 1;
    }
    changed.notify_all();
  }
  for (std::thread& thread : pool) thread.join();
}

}  // namespace tivenor::cli
