#include "engine/reading/oversize_log.h"

#include <string>

namespace tivenor {

namespace {
constexpr const char* kOversizeLine = "ERROR: too many pixels in disk hole";
}

void LogOversizePixel(ScanState& state, Host& host) {
  ++state.OversizePixels;
  if (state.OversizePixels <= kMaxOversizeLogLines) host.WriteLogLine(kOversizeLine);
}

void LogOversizeLeftOut(const ScanState& state, Host& host) {
  if (state.OversizePixels <= kMaxOversizeLogLines) return;
  host.WriteLogLine(std::string(kOversizeLine) + ": " +
                    std::to_string(state.OversizePixels - kMaxOversizeLogLines) +
                    " more such lines left out");
}

}  // namespace tivenor
