#pragma once
// Finds how a picture shows the disc from more than its rim: the disc's tracks are concentric
// circles, so the view that lays the slots found on the format's track circles, through the
// rim's edge, is the disc's own round frame. A scan keeps its circle; a photograph taken at a
// slant through a bending lens gets its perspective and its lens back.

#include <span>
#include <vector>

#include "engine/base/raster.h"
#include "engine/disc/disc_format.h"
#include "engine/slots/patch_labelling.h"
#include "engine/view/disc_view.h"

namespace tivenor {

struct ViewFit {
  DiscView view;
  bool square = true;         // the circle the settings' fit found serves as it is
  double centreShift = 0.0;   // pixels from that circle's centre to the disc's true centre
  double slantDegrees = 0.0;  // about how far from square the picture was taken
  double lensBend = 0.0;
  int slotsUsed = 0;    // the patches the view was fitted to
  double misfit = 0.0;  // the slots' root mean square distance from their tracks, pitches
};

// `labelling` holds the light patches of the format's ring found about the circle (centre,
// radius in pixels) on `picture`; `rimPoints` are the rim points FindRimEdge found there that
// most of the rim agrees on (ConsensusPoints).
ViewFit FitView(const Raster& picture, PlanePoint centre, double radius,
                std::span<const PlanePoint> rimPoints, const PatchLabelling& labelling,
                const DiscFormat& format);

}  // namespace tivenor
