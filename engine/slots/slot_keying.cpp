#include "engine/slots/slot_keying.h"

#include <algorithm>
#include <cmath>

namespace tivenor {

namespace {

// Sizes a patch may take and still be a slot, as shares of the format's hole sizes; a pixel or
// two either way belongs to the picture, not the disc.
constexpr double kShortestShare = 0.5;
constexpr double kNarrowestShare = 0.5;
constexpr double kLongestPluckedShare = 1.5;
constexpr double kWidestShareOfTrack = 1.3;
constexpr double kSlackPixels = 2.0;

SlotVerdict SizeVerdict(const SlotShape& shape, const DiscFormat& format, double pitch) {
  const RingRadii ring = SearchRing(format);
  if (shape.radius <= ring.inner || shape.radius >= ring.outer) return SlotVerdict::kOutsideRing;
  if (shape.encirclesCentre) return SlotVerdict::kRing;
  const double slack = kSlackPixels * shape.pixel;
  if (shape.length + slack < kShortestShare * format.holeLength.minimum ||
      shape.width + slack < kNarrowestShare * format.holeWidth.minimum) {
    return SlotVerdict::kTooSmall;
  }
  if (format.notes == NoteKind::kPlucked && format.holeLength.maximum > 0.0 &&
      shape.length - slack > kLongestPluckedShare * format.holeLength.maximum) {
    return SlotVerdict::kTooLong;
  }
  if (shape.width - slack > kWidestShareOfTrack * std::max(format.holeWidth.maximum, pitch))
    return SlotVerdict::kTooWide;
  return SlotVerdict::kKeyed;
}

}  // namespace

RingRadii SearchRing(const DiscFormat& format) {
  const double pitch = TrackPitch(format);
  return {std::max(format.ringInner - pitch, 0.0), format.ringOuter + pitch};
}

KeyedSlots KeySlots(std::span<const SlotShape> shapes, const DiscFormat& format) {
  KeyedSlots keyed;
  const double pitch = TrackPitch(format);
  keyed.verdicts.reserve(shapes.size());
  std::vector<double> radii;
  for (const SlotShape& shape : shapes) {
    keyed.verdicts.push_back(SizeVerdict(shape, format, pitch));
    if (keyed.verdicts.back() == SlotVerdict::kKeyed) radii.push_back(shape.radius);
  }
  keyed.grid = FitTrackGrid(radii, format);
  keyed.tracks.assign(shapes.size(), -1);
  keyed.offsets.assign(shapes.size(), 0.0);
  double offsetSum = 0.0;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    SlotVerdict& verdict = keyed.verdicts[i];
    if (verdict != SlotVerdict::kOutsideRing) {
      // The ring as the format gives it, carried by the fitted grid: whatever lies outside it,
      // a label's print or a drive hole, is none of this format's business.
      const double formatRadius = keyed.grid.FormatRadius(shapes[i].radius);
      if (formatRadius <= format.ringInner || formatRadius >= format.ringOuter)
        verdict = SlotVerdict::kOutsideRing;
    }
    if (verdict == SlotVerdict::kKeyed) {
      const NearestTrack nearest = FindNearestTrack(shapes[i].radius, format, keyed.grid);
      const double slack = kSlackPixels * shapes[i].pixel;
      if (nearest.track < 0 || std::fabs(nearest.OffsetInPitches()) > kOffTrackPitches) {
        verdict = SlotVerdict::kOffTrack;
      } else if (shapes[i].width - slack >
                 kWidestShareOfTrack * std::max(format.holeWidth.maximum, nearest.pitch)) {
        verdict = SlotVerdict::kTooWide;
      } else {
        keyed.tracks[i] = nearest.track;
        keyed.offsets[i] = nearest.OffsetInPitches();
        offsetSum += std::fabs(keyed.offsets[i]);
        ++keyed.keyed;
      }
    }
    if (verdict != SlotVerdict::kKeyed && verdict != SlotVerdict::kOutsideRing) ++keyed.keptOut;
  }
  keyed.meanOffset = keyed.keyed > 0 ? offsetSum / keyed.keyed : 0.0;
  return keyed;
}

const char* VerdictText(SlotVerdict verdict) {
  switch (verdict) {
    case SlotVerdict::kKeyed:
      return "is a slot";
    case SlotVerdict::kOutsideRing:
      return "lies outside the ring of holes";
    case SlotVerdict::kTooSmall:
      return "is smaller than a slot";
    case SlotVerdict::kTooLong:
      return "is longer than a slot";
    case SlotVerdict::kTooWide:
      return "is wider than a track";
    case SlotVerdict::kOffTrack:
      return "fits no track";
    case SlotVerdict::kRing:
      return "runs round the centre";
  }
  return "";
}

}  // namespace tivenor
