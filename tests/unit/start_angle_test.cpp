#include "engine/slots/start_angle.h"

#include <gtest/gtest.h>

#include <vector>

namespace tivenor {
namespace {

TEST(WidestGap, EndsWhereTheSlotAfterTheWidestGapBegins) {
  const std::vector<Arc> arcs = {{100.0, 250.0}, {10.0, 10.0}, {30.0, 10.0}};
  // Gaps: 20 to 30, 40 to 100, 350 round to 10.
  EXPECT_DOUBLE_EQ(WidestGapEnd(arcs), 100.0);
}

TEST(WidestGap, CountsTheGapRoundTheSeam) {
  EXPECT_DOUBLE_EQ(WidestGapEnd(std::vector<Arc>{{40.0, 250.0}, {300.0, 20.0}}), 40.0);
  // An arc across 360 degrees covers the beginning of the next turn.
  EXPECT_DOUBLE_EQ(WidestGapEnd(std::vector<Arc>{{350.0, 20.0}, {15.0, 285.0}}), 350.0);
  EXPECT_DOUBLE_EQ(WidestGapEnd(std::vector<Arc>{{350.0, 60.0}, {15.0, 280.0}}), 350.0);
}

TEST(WidestGap, IsZeroWithoutSlotsOrWithoutAGap) {
  EXPECT_DOUBLE_EQ(WidestGapEnd({}), 0.0);
  EXPECT_DOUBLE_EQ(WidestGapEnd(std::vector<Arc>{{20.0, 200.0}, {200.0, 190.0}}), 0.0);
}

class StartRuleTest : public ::testing::Test {
 protected:
  DiscFormat format;
  DiscFrame frame;
  std::vector<Arc> arcs = {{3.0, 20.0}, {16.0, 5.0}, {60.0, 200.0}};
};

TEST_F(StartRuleTest, SectorsFindTheFirstSectorNoSlotReaches) {
  format.start = StartRule::kSectors;
  format.startSectors = 24;
  // Sectors 0 and 1 are held (3 to 23 degrees); sector 2 (30 to 45) is empty.
  const FoundStart start = FindStart(arcs, format, frame);
  EXPECT_DOUBLE_EQ(start.angle, 37.5);
  EXPECT_EQ(start.rule, StartRule::kSectors);
}

TEST_F(StartRuleTest, AnAngleIsOnTheFaceWhicheverWayTheMusicRuns) {
  format.start = StartRule::kAngle;
  format.startAngleDegrees = 30.0;
  EXPECT_DOUBLE_EQ(FindStart(arcs, format, frame).angle, 30.0);
  frame.music = MusicDirection::kClockwise;
  EXPECT_DOUBLE_EQ(FindStart(arcs, format, frame).angle, 330.0);
  frame.mirrored = true;  // the face seen from the back changes nothing on the face
  EXPECT_DOUBLE_EQ(FindStart(arcs, format, frame).angle, 330.0);
}

TEST_F(StartRuleTest, APrintedLineFallsBackToTheWidestGap) {
  format.start = StartRule::kLine;
  const FoundStart start = FindStart(arcs, format, frame);
  EXPECT_DOUBLE_EQ(start.angle, 3.0);
  EXPECT_EQ(start.rule, StartRule::kWidestGap);
}

}  // namespace
}  // namespace tivenor
