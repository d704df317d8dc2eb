#include "engine/making/format_slot_sizes.h"

#include <algorithm>
#include <limits>

namespace tivenor {
namespace {

// Slots of neighbouring tracks keep at least a tenth of the track pitch of card between them;
// where the tracks lie too close for the web asked for, slot and card share the pitch.
constexpr double kWidestShareOfPitch = 0.9;
constexpr double kNarrowestShareOfPitch = 0.5;
// The shortest slot lies a little above the format's least, so that the edges of a print or a
// picture cannot take it below.
constexpr double kShortestOverLeast = 1.2;
// What a format that gives no slot sizes gets: three quarters of its pitch, twice as long.
constexpr double kWidthShareOfPitch = 0.75;
constexpr double kLengthOverWidth = 2.0;
// A format of one track has no pitch: its ring, or a twentieth of the radius, stands in.
constexpr double kLoneTrackPitch = 0.05;

double Middle(const SizeRange& range) {
  return 0.5 * (range.minimum + range.maximum);
}

double SmallestPitch(const DiscFormat& format) {
  if (format.trackRadii.size() < 2) {
    const double ring = format.ringOuter - format.ringInner;
    return ring > 0.0 ? ring : kLoneTrackPitch;
  }
  double pitch = std::numeric_limits<double>::infinity();
  for (std::size_t track = 1; track < format.trackRadii.size(); ++track) {
    pitch = std::min(pitch, format.trackRadii[track] - format.trackRadii[track - 1]);
  }
  return pitch;
}

}  // namespace

FormatSlotSizes SlotSizesOf(const DiscFormat& format, double rimRadiusMm, double trackWebMm) {
  const double pitch = SmallestPitch(format) * rimRadiusMm;
  FormatSlotSizes sizes;
  sizes.widthMm = Middle(format.holeWidth) * rimRadiusMm;
  if (sizes.widthMm <= 0.0) sizes.widthMm = kWidthShareOfPitch * pitch;
  // A thinner web joins the slots of neighbouring tracks in a picture or a photo of the disc,
  // where the reader can no longer tell their tracks.
  const double besideWeb = std::max(pitch - trackWebMm, kNarrowestShareOfPitch * pitch);
  sizes.widthMm = std::min({sizes.widthMm, kWidestShareOfPitch * pitch, besideWeb});
  sizes.trackWebMm = pitch - sizes.widthMm;
  const double middleLength = Middle(format.holeLength) * rimRadiusMm;
  sizes.pluckedLengthMm = middleLength > 0.0 ? middleLength : kLengthOverWidth * sizes.widthMm;
  sizes.shortestMm =
      std::max(kShortestOverLeast * format.holeLength.minimum * rimRadiusMm, sizes.widthMm);
  if (middleLength > 0.0) sizes.shortestMm = std::min(sizes.shortestMm, middleLength);
  return sizes;
}

}  // namespace tivenor
