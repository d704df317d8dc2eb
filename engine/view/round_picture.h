#pragma once
// The disc drawn again as if seen square-on, for reading in its own round frame, and the marks
// made there carried back onto the picture as it was given.

#include <cstdint>

#include "engine/base/channel_level.h"
#include "engine/base/raster.h"
#include "engine/view/disc_view.h"

namespace tivenor {

// A square picture with the disc's centre in its middle and its rim `rimPx` pixels round.
struct RoundFrame {
  double rimPx = 0.0;
  int32_t side = 0;
  double centre = 0.0;  // both coordinates of the disc's centre, pixels
  double reach = 0.0;   // pixels from the centre that are drawn
};
RoundFrame RoundFrameFor(double rimPx);

// Draws `round` from `picture` through `view`: the level of each point in `channel`, as grey.
void DrawRoundPicture(const Raster& picture, const DiscView& view, const RoundFrame& frame,
                      Raster& round, Channel channel = Channel::kRed);

// Every pixel of `picture` on the disc whose point of the round picture `marked` carries a mark
// takes the mark's colour. The round picture is drawn in grey and every mark in a colour, so a
// mark is told by its colour alone, with no unmarked copy to compare with.
void CopyMarksBack(const Raster& marked, const DiscView& view, const RoundFrame& frame,
                   Raster& picture);
bool IsMark(uint32_t pixel);

// Where a point of the round picture lies on the picture.
PlanePoint PictureOfRound(const DiscView& view, const RoundFrame& frame, PlanePoint round);

}  // namespace tivenor
