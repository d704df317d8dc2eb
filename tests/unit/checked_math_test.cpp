#include "engine/base/checked_math.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/base/checked_table.h"

namespace tivenor {
namespace {

TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(3.5L), 4);
  EXPECT_EQ(RoundHalfEven(-0.5L), 0);
  EXPECT_EQ(RoundHalfEven(-1.5L), -2);
  EXPECT_EQ(RoundHalfEven(2.5000000001L), 3);
  EXPECT_EQ(Round32(450.5L), 450);
  EXPECT_EQ(Round32(30.5L), 30);
}

TEST(RoundingTest, TruncGoesTowardZero) {
  EXPECT_EQ(Trunc32(240.5L), 240);
  EXPECT_EQ(Trunc32(-1.9L), -1);
  EXPECT_THROW(Trunc32(3e9L), RunError);
}

TEST(RoundingTest, NonFiniteValuesEndTheCommand) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  EXPECT_THROW(RoundHalfEven(nan), RunError);
  try {
    CheckedReal(inf);
    FAIL();
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(), kFloatOverflow);
  }
  try {
    CheckedDivide(1.0L, 0.0L);
    FAIL();
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(), kFloatDivisionByZero);
  }
  try {
    CheckedDivide(0.0L, 0.0L);
    FAIL();
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(), kInvalidFloatOperation);
  }
}

TEST(CheckedIntegerTest, OverflowIsAnError) {
  EXPECT_EQ(CheckedMul(255, 65793), 16777215);
  EXPECT_EQ(CheckedAdd(-5, 3), -2);
  try {
    CheckedMul(46341, 46341);
    FAIL();
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(), kIntegerOverflow);
  }
  EXPECT_THROW(CheckedAdd(std::numeric_limits<int32_t>::max(), 1), RunError);
  EXPECT_THROW(CheckedSub(std::numeric_limits<int32_t>::min(), 1), RunError);
}

TEST(CheckedIntegerTest, NarrowingOutsideTheFieldIsARangeError) {
  EXPECT_EQ(NarrowChecked<uint16_t>(int64_t{65535}), 65535);
  EXPECT_EQ(NarrowChecked<uint8_t>(0), 0);
  try {
    NarrowChecked<uint16_t>(int64_t{65536});
    FAIL();
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(), kRangeCheckError);
  }
  EXPECT_THROW(NarrowChecked<uint8_t>(-1), RunError);
}

TEST(CheckedTableTest, IndicesAreTestedAgainstTheDeclaredBounds) {
  CheckedTable<int, 1, 500> table;
  table[1] = 7;
  table[500] = 9;
  EXPECT_EQ(table[1], 7);
  EXPECT_EQ(table[500], 9);
  EXPECT_THROW(table[0], RunError);
  EXPECT_THROW(table[501], RunError);
  CheckedTable<int, 52, 100> keys;
  EXPECT_NO_THROW(keys[52]);
  EXPECT_THROW(keys[51], RunError);
  EXPECT_THROW(keys[101], RunError);
}

}  // namespace
}  // namespace tivenor
