#pragma once
// The disc maker's report, for people and tools: every note of the tune, punched or left out.

#include <string>
#include <vector>

#include "engine/making/disc_layout.h"

namespace tivenor::cli {

// JSON text: source, transpose, notes (time, source_key, key, pin, tick), left_out (time,
// source_key, reason), the drum notes set aside and warnings. One note a line. Discs of other
// formats give the format, diameter_mm, seconds_per_turn and start_degrees, and for each note
// its length, its track (from 1) and the degrees from the start to its slot instead of pin and
// tick.
std::string PunchReportJson(const DiscLayout& layout, const std::string& source,
                            const std::vector<std::string>& warnings);

}  // namespace tivenor::cli
