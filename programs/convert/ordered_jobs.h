#pragma once
// Runs the pictures of a batch on several threads while everything the user sees happens in the
// order of the command line: `work(i)` may run on any thread, `finish(i)` runs on the calling
// thread in index order, each as soon as its work and every finish before it are done.

#include <cstddef>
#include <functional>

namespace tivenor::cli {

// With `jobs` 1 (or a single item) no thread is started: work(i) and finish(i) alternate on the
// calling thread. At most 2 × jobs items are worked ahead of the last finished one, so that the
// results waiting for their turn stay few. `work` must not throw.
void RunInOrder(std::size_t count, int jobs, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& finish);

}  // namespace tivenor::cli
