#include "text/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text_printers.h"

namespace tarnwick {
namespace {

TEST(NumericTest, TruncationTowardZeroAndSaturation) {
  EXPECT_EQ(TruncateToInteger(2.9), 2);
  EXPECT_EQ(TruncateToInteger(-2.9), -2);
  EXPECT_EQ(TruncateToInteger(-2.5), -2);
  EXPECT_EQ(TruncateToInteger(1e300), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TruncateToInteger(-1e300), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncateToInteger(std::nan("")), 0);
}

TEST(NumericTest, ModuloKeepsTheSignOfTheDividend) {
  EXPECT_EQ(Modulo(7, 3), 1);
  EXPECT_EQ(Modulo(-7, 3), -1);
  EXPECT_EQ(Modulo(7, -3), 1);
}

TEST(NumericTest, ShiftsTakeTheCountModulo32) {
  EXPECT_EQ(ShiftRight(-8, 1), -4);
  EXPECT_EQ(ShiftLeft(1, 33), 2);
  EXPECT_EQ(ShiftLeft(1, 31), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ShiftLeft(3, -1), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ShiftRight(-1, 40), -1);
  EXPECT_EQ(ShiftRight(256, 32), 256);
}

TEST(NumericTest, BitAndAndToByte) {
  EXPECT_EQ(BitAnd({0x0F, 0x3C}), 0x0C);
  EXPECT_EQ(BitAnd({-1, 0x70, 0x1F}), 0x10);
  EXPECT_EQ(ToByte(0x1FF), 0xFF);
  EXPECT_EQ(ToByte(-1), 0xFF);
}

}  // namespace
}  // namespace tarnwick
