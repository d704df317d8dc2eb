#include "engine/slots/disc_frame.h"

#include <gtest/gtest.h>

#include <string>

namespace tivenor {
namespace {

struct FrameCase {
  bool mirrored;
  MusicDirection music;
  // A patch from picture angle 10 to 30 as the music sees it.
  double lead;
};

class MusicFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(MusicFrame, PutsAPatchsLeadingEndFirst) {
  DiscFrame frame{100.0, 100.0, 50.0, GetParam().mirrored, GetParam().music};
  const Arc arc = MusicArc(frame, {10.0, 20.0});
  EXPECT_NEAR(arc.lead, GetParam().lead, 1e-9);
  EXPECT_DOUBLE_EQ(arc.sweep, 20.0);
  // And back: the lead lies at one end of the patch on the picture.
  const double back = frame.PictureAngle(arc.lead);
  EXPECT_TRUE(std::abs(back - 10.0) < 1e-9 || std::abs(back - 30.0) < 1e-9) << back;
}

INSTANTIATE_TEST_SUITE_P(
    Faces, MusicFrame,
    ::testing::Values(FrameCase{false, MusicDirection::kCounterClockwise, 10.0},
                      FrameCase{false, MusicDirection::kClockwise, 330.0},
                      // The back: picture angle a is face angle 180 - a.
                      FrameCase{true, MusicDirection::kCounterClockwise, 150.0},
                      FrameCase{true, MusicDirection::kClockwise, 190.0}),
    [](const auto& info) {
      return std::string(info.param.mirrored ? "Back" : "Face") +
             (info.param.music == MusicDirection::kClockwise ? "Clockwise" : "CounterClockwise");
    });

TEST(DiscFrame, PointsLieOnThePictureWithYDownwards) {
  const DiscFrame frame{100.0, 80.0, 50.0, false, MusicDirection::kCounterClockwise};
  EXPECT_EQ(frame.PixelAt(90.0, 1.0), (PixelPoint{100, 30}));
  EXPECT_EQ(frame.PixelAt(0.0, 0.5), (PixelPoint{125, 80}));
  const DiscFrame back{100.0, 80.0, 50.0, true, MusicDirection::kCounterClockwise};
  EXPECT_EQ(back.PixelAt(0.0, 0.5), (PixelPoint{75, 80}));
}

TEST(DiscFrame, WrapsDegreesIntoOneTurn) {
  EXPECT_DOUBLE_EQ(WrapDegrees(-10.0), 350.0);
  EXPECT_DOUBLE_EQ(WrapDegrees(720.0), 0.0);
  EXPECT_LT(WrapDegrees(-1e-15), 360.0);
}

}  // namespace
}  // namespace tivenor
