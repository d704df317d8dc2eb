#pragma once
// One picture of a batch read on a thread of its own: the result, or the failure, and everything
// the reading would have printed and logged, kept until the picture's turn comes.

#include <string>
#include <vector>

#include "engine/base/settings.h"
#include "programs/convert/convert_picture.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/converter_settings.h"

namespace tivenor::cli {

struct PictureJob {
  ConversionResult result;
  std::string failure;   // the one-line error when the picture gave no MIDI file
  std::string progress;  // what the reading printed
  std::vector<ConverterHost::DeferredLogLine> logLines;
};

// Reads the picture of `request` without writing any file or printing anything.
PictureJob ReadPictureAside(const ConversionRequest& request, const ScanSettings& settings,
                            const GivenSettings& given, const std::string& linePrefix,
                            bool progressInPlace);

}  // namespace tivenor::cli
