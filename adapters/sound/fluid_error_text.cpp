#include "adapters/sound/fluid_error_text.h"

#include <fluidsynth.h>

#include <mutex>

namespace tivenor {

namespace {

std::mutex errorMutex;
std::string lastError;  // guarded by errorMutex; audio threads log too

void KeepError(int, const char* message, void*) {
  const std::lock_guard lock(errorMutex);
  lastError = message != nullptr ? message : "";
}

}  // namespace

void CaptureFluidErrors() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    fluid_set_log_function(FLUID_PANIC, KeepError, nullptr);
    fluid_set_log_function(FLUID_ERR, KeepError, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  });
}

std::string TakeFluidError() {
  const std::lock_guard lock(errorMutex);
  std::string text;
  text.swap(lastError);
  return text;
}

}  // namespace tivenor
