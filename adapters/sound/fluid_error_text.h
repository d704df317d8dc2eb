#pragma once
// FluidSynth explains its failures only through its log. These functions keep the last error it
// logged, so that a failed call can be reported with the synthesizer's own words.

#include <string>

namespace tivenor {

// Routes FluidSynth's error messages here; its warnings and chatter are dropped. Idempotent.
void CaptureFluidErrors();

// The last error FluidSynth logged since the previous call, or "" when there was none.
std::string TakeFluidError();

}  // namespace tivenor
