#pragma once
// Why a scan found no notes: the light patches the size test turned away, or nothing lighter
// than the threshold. A scan without notes usually means settings that do not fit the scan's
// resolution, so each host names the settings as its user knows them.

#include <cstdint>
#include <string>

#include "engine/base/settings.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

struct NoNotesReason {
  int32_t tooLarge = 0;  // patches larger than Maximum
  int32_t largest = 0;   // pixels of the largest, counted up to 500
  int32_t tooSmall = 0;  // patches smaller than Minimum
  int threshold = 0;     // the settings of the scan
  int minimum = 0;
  int maximum = 0;
  int32_t offTrack = 0;  // patches that fit no track or slot size of the disc's format
};

NoNotesReason ExplainNoNotes(const ScanState& state, int threshold, int minimum, int maximum);

// How the host names its settings: "--maximum" on the command line, "Maximum" in the window.
enum class SettingNaming { kCommandLine, kWindow };
std::string SettingName(const SettingInfo& setting, SettingNaming naming);

// One line, such as "No holes found on the disc: no MIDI file written; 86 light patches were
// larger than Maximum 20 (the largest 44 pixels)".
std::string NoNotesText(const NoNotesReason& reason, SettingNaming naming);

}  // namespace tivenor
