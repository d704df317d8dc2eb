#pragma once
// One START on one picture file, as the converter runs it.

#include <string>
#include <vector>

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
  ScanSettings used;  // the settings the picture was read with
  int logLines = 0;
  std::string midiFile;
  std::vector<char> midiBytes;  // the file as written, for rendering without reading it back
};

// The three steps of one picture, apart for batches run on several threads: the outputs refused
// before anything is read, the reading, which writes nothing, and the writing.
void CheckOutputs(const ConversionRequest& request, const RunFiles& files);
ConversionResult ReadPicture(const ConversionRequest& request, ScanState& state,
                             ConverterHost& host);
void WriteResults(const ConversionRequest& request, const ConversionResult& result,
                  const Raster& marked, RunFiles& files);

// The three in a row. Throws RunError when the picture gives no MIDI file, or before anything is
// read when a file it would write is refused by `files`; records what it writes there.
ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host, RunFiles& files);

}  // namespace tivenor::cli
