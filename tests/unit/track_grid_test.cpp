#include "engine/slots/track_grid.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace tivenor {
namespace {

// 24 tracks from 0.42 at 0.024 apart.
DiscFormat EvenFormat() {
  DiscFormat format;
  for (int k = 0; k < 24; ++k) {
    format.trackRadii.push_back(0.42 + 0.024 * k);
    format.keys.push_back(static_cast<uint8_t>(40 + k));
  }
  format.holeWidth = {0.018, 0.022};
  return format;
}

// A few slots on each of `tracks`, as the picture shows them.
std::vector<double> RadiiOn(const DiscFormat& format, const std::vector<int>& tracks, double shift,
                            double stretch) {
  std::vector<double> radii;
  for (const int k : tracks) {
    for (const double jitter : {-0.0004, 0.0, 0.0003})
      radii.push_back(shift + stretch * format.trackRadii[static_cast<std::size_t>(k)] + jitter);
  }
  return radii;
}

std::vector<int> AllTracks() {
  std::vector<int> tracks(24);
  std::iota(tracks.begin(), tracks.end(), 0);
  return tracks;
}

// Which track each radius reads as.
std::vector<int> TracksRead(const std::vector<double>& radii, const DiscFormat& format) {
  const TrackGrid grid = FitTrackGrid(radii, format);
  std::vector<int> tracks;
  for (std::size_t i = 0; i < radii.size(); i += 3)
    tracks.push_back(FindNearestTrack(radii[i], format, grid).track);
  return tracks;
}

TEST(TrackGrid, PitchIsTheSpacingOfTheTracks) {
  EXPECT_NEAR(TrackPitch(EvenFormat()), 0.024, 1e-12);
  DiscFormat single;
  single.trackRadii = {0.5};
  single.holeWidth = {0.01, 0.03};
  EXPECT_DOUBLE_EQ(TrackPitch(single), 0.03);
}

TEST(TrackGrid, SlotsOnTheFormatsTracksNeedNoChange) {
  const DiscFormat format = EvenFormat();
  const TrackGrid grid = FitTrackGrid(RadiiOn(format, AllTracks(), 0.0, 1.0), format);
  EXPECT_NEAR(grid.shift, 0.0, 0.001);
  EXPECT_NEAR(grid.stretch, 1.0, 0.002);
}

class ShiftedGrid : public ::testing::TestWithParam<double> {};

TEST_P(ShiftedGrid, ReadsEverySlotOnItsOwnTrack) {
  const DiscFormat format = EvenFormat();
  const double shift = GetParam() * TrackPitch(format);
  const std::vector<double> radii = RadiiOn(format, AllTracks(), shift, 1.0);
  EXPECT_EQ(TracksRead(radii, format), AllTracks());
  EXPECT_NEAR(FitTrackGrid(radii, format).shift, shift, 0.001);
}

INSTANTIATE_TEST_SUITE_P(ThirdsOfAPitch, ShiftedGrid,
                         ::testing::Values(-0.4, -1.0 / 3, 1.0 / 3, 0.4), [](const auto& info) {
                           return std::string(info.param < 0 ? "In" : "Out") +
                                  std::to_string(static_cast<int>(std::abs(info.param) * 100)) +
                                  "Percent";
                         });

TEST(TrackGrid, ARimMeasuredSmallStretchesTheGridBack) {
  // Radii 3 % large: the outer tracks lie more than a pitch out, the inner half a pitch.
  const DiscFormat format = EvenFormat();
  const std::vector<double> radii = RadiiOn(format, AllTracks(), 0.0, 1.03);
  EXPECT_EQ(TracksRead(radii, format), AllTracks());
  EXPECT_NEAR(FitTrackGrid(radii, format).stretch, 1.03, 0.002);
}

TEST(TrackGrid, EmptyTracksAndAStrayMoveNoSlot) {
  const DiscFormat format = EvenFormat();
  const std::vector<int> used = {10, 11, 12, 15};
  std::vector<double> radii = RadiiOn(format, used, 0.0, 1.0);
  const double stray = format.trackRadii[13] + 0.5 * TrackPitch(format);
  radii.push_back(stray);
  const TrackGrid grid = FitTrackGrid(radii, format);
  // By rank these would be tracks 0 to 3; by distance they are where they lie.
  std::vector<int> read;
  for (std::size_t i = 0; i + 1 < radii.size(); i += 3)
    read.push_back(FindNearestTrack(radii[i], format, grid).track);
  EXPECT_EQ(read, used);
  EXPECT_NEAR(std::abs(FindNearestTrack(stray, format, grid).OffsetInPitches()), 0.5, 0.05);
}

TEST(TrackGrid, AGridOfUnevenTracksFitsToo) {
  DiscFormat format;
  format.trackRadii = {0.40, 0.43, 0.47, 0.52, 0.58, 0.65};
  format.keys = {60, 62, 64, 65, 67, 69};
  const std::vector<double> radii = RadiiOn(format, {0, 1, 2, 3, 4, 5}, 0.008, 1.0);
  EXPECT_EQ(TracksRead(radii, format), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  const NearestTrack first = FindNearestTrack(0.408, format, FitTrackGrid(radii, format));
  EXPECT_NEAR(first.pitch, 0.03, 0.001);
}

TEST(TrackGrid, WithoutSlotsTheFormatsOwn) {
  const TrackGrid grid = FitTrackGrid({}, EvenFormat());
  EXPECT_EQ(grid.shift, 0.0);
  EXPECT_EQ(grid.stretch, 1.0);
}

}  // namespace
}  // namespace tivenor
