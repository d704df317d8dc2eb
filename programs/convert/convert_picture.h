#pragma once
// One START on one picture file, as the converter runs it.

#include <string>

#include "engine/reading/scan_state.h"
#include "engine/roads/read_disc.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/run_files.h"

namespace tivenor::cli {

struct ConversionRequest {
  std::string picture;
  std::string output;         // empty: beside the picture, named like it with "mid"
  std::string markedPicture;  // empty: not saved
  ReadingOptions reading;     // --auto, --format, --turn-seconds, --mirrored
};

struct ConversionResult {
  DiscReading reading;
  int logLines = 0;
  std::string midiFile;
};

// Throws RunError when the picture gives no MIDI file, or before anything is read when a file
// it would write is refused by `files`; records what it writes there.
ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host, RunFiles& files);

}  // namespace tivenor::cli
