#include "engine/slots/slot_marks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tivenor {

namespace {

constexpr int32_t kPointHalf = 2;  // as the built-in reading marks its note points

void MarkAround(Raster& raster, PixelPoint point, int32_t half, uint32_t colour) {
  FillEllipse(raster, point.x - half, point.y - half, point.x + half, point.y + half, colour);
}

void DrawRim(Raster& raster, const DiscFrame& frame) {
  const int steps =
      std::max(64, static_cast<int>(std::ceil(2.0 * std::numbers::pi * frame.rimRadius)));
  for (int i = 0; i < steps; ++i) {
    const double angle = 2.0 * std::numbers::pi * i / steps;
    raster.SetPixel(
        static_cast<int32_t>(std::lround(frame.centreX + frame.rimRadius * std::cos(angle))),
        static_cast<int32_t>(std::lround(frame.centreY - frame.rimRadius * std::sin(angle))),
        kGreen);
  }
}

}  // namespace

void DrawSlotMarks(Raster& work, const DiscFrame& frame, const PatchLabelling& labelling,
                   std::span<const SlotVerdict> verdicts, std::span<const SlotShape> shapes,
                   std::span<const SlotNote> notes) {
  for (const PatchRun& run : labelling.Runs()) {
    const SlotVerdict verdict = verdicts[static_cast<std::size_t>(run.patch)];
    if (verdict == SlotVerdict::kOutsideRing) continue;
    const uint32_t colour = verdict == SlotVerdict::kKeyed ? kGreen : kRed;
    uint32_t* row = work.pixels.data() + static_cast<std::size_t>(run.y) * work.width;
    std::fill(row + run.xFirst, row + run.xLast + 1, colour);
  }
  DrawRim(work, frame);
  MarkAround(work,
             {static_cast<int32_t>(std::lround(frame.centreX)),
              static_cast<int32_t>(std::lround(frame.centreY))},
             kPointHalf, kRed);
  for (const SlotNote& note : notes) {
    const SlotShape& shape = shapes[note.shape];
    MarkAround(work, frame.PixelAt(shape.arc.lead, shape.radius), kPointHalf, kBlue);
  }
}

}  // namespace tivenor
