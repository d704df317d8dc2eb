#include "engine/transcription/revolution_angle.h"

#include <gtest/gtest.h>

namespace tivenor {
namespace {

TEST(RevolutionAngleTest, AxesAndDiagonals) {
  struct Case {
    double x, y, expected;
  };
  for (const Case& c : {Case{1, 0, 0.0},
                        {1, 1, 0.125},
                        {0, 1, 0.25},
                        {-1, 1, 0.375},
                        {-1, 0, 0.5},
                        {-1, -1, 0.625},
                        {0, -1, 0.75},
                        {1, -1, 0.875}}) {
    EXPECT_NEAR(RevolutionAngle(c.x, c.y), c.expected, 1e-15) << c.x << ", " << c.y;
  }
}

TEST(RevolutionAngleTest, OffAxisPoints) {
  EXPECT_NEAR(RevolutionAngle(3, 4), 0.1475836, 1e-7);
  EXPECT_NEAR(RevolutionAngle(-3, 4), 0.3524164, 1e-7);
  EXPECT_NEAR(RevolutionAngle(-4, -3), 0.5 + 0.1024164, 1e-7);
  EXPECT_NEAR(RevolutionAngle(1, -0.001), 0.99984, 1e-5);
  EXPECT_LT(RevolutionAngle(1, -0.001), 1.0);
}

TEST(RevolutionAngleTest, JustBelowThePositiveXAxisGivesExactlyOne) {
  EXPECT_EQ(RevolutionAngle(2, -1e-300), 1.0);
}

TEST(RevolutionAngleTest, DependsOnlyOnTheDirection) {
  EXPECT_EQ(RevolutionAngle(2, 5), RevolutionAngle(20, 50));
  EXPECT_EQ(RevolutionAngle(-7, -0.5), RevolutionAngle(-70, -5));
}

TEST(RevolutionAngleTest, TheCentreGivesZero) {
  EXPECT_EQ(RevolutionAngle(0, 0), 0.0);
}

}  // namespace
}  // namespace tivenor
