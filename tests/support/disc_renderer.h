#pragma once
// Draws a disc picture as a scanner sees a punched disc: a dark disc of 114 mm on a light
// background, a bright centre hole, and one bright slot per note along the direction of rotation
// whose counter-clockwise end is the note point.

#include <cstdint>
#include <vector>

#include "engine/base/raster.h"
#include "tests/support/disc_geometry.h"

namespace tivenor::testing {

struct DiscOptions {
  double dpi = 150.0;
  double holeWidthMm = 0.8;   // across the track
  double holeLengthMm = 1.6;  // along the direction of rotation
  double marginMm = 4.0;      // light border around the disc
  double centreHoleRadiusMm = 3.5;
  int supersampling = 1;  // samples per pixel side; above 1 the edges are anti-aliased
  int noise = 0;          // largest deterministic brightness offset per pixel, 0 for none
  uint32_t noiseSeed = 1;
  int rotationSectors = 0;            // turns the disc counter-clockwise by whole sectors, 0..23
  uint32_t discColour = 0x00232628;   // 0x00BBGGRR: dark grey, slightly warm
  uint32_t lightColour = 0x00DCE2E4;  // near-white

  // What a scanner adds, in this order after drawing: dust, blur, uneven lighting, noise, and
  // last the reduction to one bit.
  int dustSpecks = 0;  // specks of 0.1 to 0.25 mm, dark on the background and light on the disc
  uint32_t dustSeed = 7;
  double blurRadiusPx = 0.0;  // two passes of a box blur of this radius, rounded; 0 for none
  // Share of the light that reaches the top-left corner; 1 for even lighting. The light grows
  // towards the bottom-right corner, where it is full.
  double darkCornerLight = 1.0;
  enum class Falloff { Linear, Radial } falloff = Falloff::Linear;
  int darkFramePx = 0;  // a band of the disc's colour along every edge, as a scanner's lid leaves
  bool oneBit = false;  // every pixel black or white, split at half brightness
};

double PixelsPerMm(const DiscOptions& options);
// A scanner's picture of a disc with holes of real size (1.8 x 0.7 mm), anti-aliased and noisy.
DiscOptions RealSizeScan(double dpi, int noise = 3);
// The start gap of a disc drawn with these options.
int GapSector(const DiscOptions& options);
// Pixels one slot covers, before anti-aliasing.
double HoleAreaPixels(const DiscOptions& options);

struct PicturePoint {
  double x = 0.0;  // pixels, x to the right
  double y = 0.0;  // pixels, y downwards
};
// Where a note's point lies in the picture RenderDisc draws.
PicturePoint NotePointInPicture(const DiscNote& note, const DiscOptions& options);

// Throws std::invalid_argument (see CheckDiscNotes) when the notes cannot be read back as drawn.
Raster RenderDisc(const std::vector<DiscNote>& notes, const DiscOptions& options = {});

// What another kind of disc, or a torn one, shows: `count` light squares of `sideMm`, their
// middles on the circle of `radiusMm` round the disc's centre, spread evenly from a quarter to
// three quarters of the turn (clear of the start gap of a disc drawn without rotation).
void PaintLightPatches(Raster& picture, const DiscOptions& options, double radiusMm, double sideMm,
                       int count);

}  // namespace tivenor::testing
