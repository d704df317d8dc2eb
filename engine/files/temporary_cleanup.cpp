#include "engine/files/temporary_cleanup.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace tivenor {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kLongestPath = 4096;

// Only what a signal handler may touch: a fixed buffer and lock-free flags. The path is complete
// in the buffer before it is armed.
char registeredPath[kLongestPath + 1];
std::atomic<bool> pathClaimed{false};
std::atomic<bool> pathArmed{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void RemoveTemporaryAndEnd(int signalNumber) {
  if (pathArmed.load(std::memory_order_acquire)) unlink(registeredPath);
  // The default action ends the program as the signal asked; the signal stays blocked until
  // the handler returns, so raising it here delivers it then.
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

}  // namespace

TemporaryCleanup::TemporaryCleanup(const std::string& path) {
  if (path.empty() || path.size() > kLongestPath) return;
  bool expected = false;
  if (!pathClaimed.compare_exchange_strong(expected, true)) return;
  std::memcpy(registeredPath, path.c_str(), path.size() + 1);
  pathArmed.store(true, std::memory_order_release);
  registered_ = true;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    struct sigaction current {};
    if (sigaction(kEndingSignals[i], nullptr, &current) != 0) continue;
    // A program that ignores or handles the signal itself decides what happens.
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction removal {};
    removal.sa_handler = RemoveTemporaryAndEnd;
    sigemptyset(&removal.sa_mask);
    if (sigaction(kEndingSignals[i], &removal, nullptr) == 0) installed_ |= 1u << i;
  }
}

TemporaryCleanup::~TemporaryCleanup() {
  if (!registered_) return;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    if ((installed_ & (1u << i)) != 0) std::signal(kEndingSignals[i], SIG_DFL);
  }
  pathArmed.store(false, std::memory_order_release);
  pathClaimed.store(false, std::memory_order_release);
}

}  // namespace tivenor
