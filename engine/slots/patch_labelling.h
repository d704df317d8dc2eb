#pragma once
// Every light patch in the ring of a disc, found by connected-component labelling in one pass
// over the ring's rows: each row's runs of light pixels join the runs of the row above that they
// touch, and a patch's measures grow as its runs join. Nothing is capped: a patch may hold any
// number of pixels, a picture any number of patches.

#include <cstdint>
#include <vector>

#include "engine/base/channel_level.h"
#include "engine/base/raster.h"
#include "engine/slots/light_patch.h"

namespace tivenor {

// The ring searched: pixels whose centres lie strictly between the two radii.
struct PixelRing {
  double centreX = 0.0;  // pixel (x, y) has its centre at (x, y)
  double centreY = 0.0;
  double inner = 0.0;
  double outer = 0.0;
};

// A run of light pixels on one row, and the patch it belongs to.
struct PatchRun {
  int32_t y = 0;
  int32_t xFirst = 0;
  int32_t xLast = 0;
  int32_t patch = 0;  // index into Patches()
};

// Keep one to label many pictures: its storage is reused, so after the first picture it
// allocates only for pictures with more runs than before.
class PatchLabelling {
 public:
  // Labels the 4-connected patches of pixels whose level in `channel` exceeds `threshold`.
  void Label(const Raster& picture, const PixelRing& ring, int threshold,
             Channel channel = Channel::kRed);

  const std::vector<LightPatch>& Patches() const { return patches_; }
  // Every run, row by row from the top.
  const std::vector<PatchRun>& Runs() const { return runs_; }

 private:
  // A label's measures; while it is a root, in its own frame of angles.
  struct Measures {
    int64_t pixels = 0;
    double radiusSum = 0.0;
    double innerRadius = 0.0;
    double outerRadius = 0.0;
    double lowAngle = 0.0;  // degrees, unwrapped: may lie outside (-180, 180]
    double highAngle = 0.0;
    bool encircles = false;
  };

  void LabelRow(const Raster& picture, const PixelRing& ring, int threshold, Channel channel,
                int32_t y);
  void AddRun(const PixelRing& ring, int32_t y, int32_t xFirst, int32_t xLast);
  void Link(std::size_t above, std::size_t run, bool crossesSeam);
  // The root of a label and how many turns its frame of angles lies from the root's.
  int32_t Find(int32_t label, int32_t& turns);
  void Finish();

  std::vector<PatchRun> runs_;     // `patch` holds a label until Finish
  std::vector<int32_t> runTurns_;  // each run's angles in its label's frame: raw + 360 turns
  std::vector<int32_t> parent_;
  std::vector<int32_t> parentTurns_;  // a label's frame lies this many turns from its parent's
  std::vector<Measures> measures_;
  std::vector<int32_t> patchOfRoot_;
  std::vector<LightPatch> patches_;
  std::size_t aboveFirst_ = 0;  // the runs of the row above
  std::size_t aboveEnd_ = 0;
  int32_t aboveY_ = 0;
};

}  // namespace tivenor
