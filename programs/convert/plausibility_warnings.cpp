#include "programs/convert/plausibility_warnings.h"

namespace tivenor::cli {

std::string WarningText(const Finding& finding, const ScanSettings& used) {
  const std::string count = std::to_string(finding.count);
  switch (finding.concern) {
    case Concern::NoteLimitReached:
      return "the scan reached the limit of " + std::to_string(kMaxNotes) +
             " notes: light background or disc texture was probably taken for holes; try --auto, "
             "or a lower --threshold than " +
             std::to_string(used.threshold) + ", or a higher --minimum than " +
             std::to_string(used.minimum);
    case Concern::ManyPatchesTooLarge:
      return count + " light patches inside the disc were larger than --maximum " +
             std::to_string(used.maximum) +
             " and left out: the scan is probably finer than the settings expect; try --auto, or "
             "a larger --maximum";
    case Concern::OverfullHoles:
      return count + " light patches held more pixels than one hole can (" +
             std::to_string(kMaxHolePixels) +
             ", the \"too many pixels\" lines of the log): background or disc texture inside the "
             "outline, or a very fine scan; try --auto";
    case Concern::NotesWithoutPin:
      return count +
             " notes lie outside the pins' radii and were left out: the disc's outline, centre or "
             "size is probably wrong; scan the whole disc on an evenly lit light background, or "
             "try --auto";
    case Concern::OutlineAtEdge:
      return "the disc's outline touches the edge of the picture on " + count +
             " side(s): background darker than --threshold " + std::to_string(used.threshold) +
             " or a disc cut off by the picture; try --auto, or a lower --threshold, and scan the "
             "whole disc with a light margin";
    case Concern::PatchesOffTrack:
      return count +
             " light patches fit no track or slot size of the disc format and were left out (the "
             "log names each): dust, tears or print on the disc, or a disc of another format; "
             "try another --format";
  }
  return {};
}

void PrintWarnings(std::FILE* out, const std::string& picture, const std::vector<Finding>& findings,
                   const ScanSettings& used) {
  for (const Finding& finding : findings) {
    std::fprintf(out, "tivenor-convert: warning: %s: %s\n", picture.c_str(),
                 WarningText(finding, used).c_str());
  }
}

}  // namespace tivenor::cli
