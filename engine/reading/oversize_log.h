#pragma once
// The log line for pixels beyond 500 in one hole. A mis-set threshold can make the whole ring one
// patch of millions of pixels, so a scan logs the first kMaxOversizeLogLines of them and then
// one line with the count of the rest.

#include "engine/base/host.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

inline constexpr int kMaxOversizeLogLines = 10'000;

// One pixel beyond 500 in a hole: counted in OversizePixels, logged while under the cap.
void LogOversizePixel(ScanState& state, Host& host);

// At the end of a scan: one line with how many oversize pixels were not logged, if any.
void LogOversizeLeftOut(const ScanState& state, Host& host);

}  // namespace tivenor
