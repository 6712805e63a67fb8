#include "text/bytes.h"

#include <gtest/gtest.h>

#include <climits>

#include "text_printers.h"

namespace tarnwick {
namespace {

Bytes Of(std::initializer_list<std::uint8_t> bytes) {
  return Bytes(std::vector<std::uint8_t>(bytes));
}

TEST(BytesTest, MidClampsTheStart) {
  const Bytes b = Of({1, 2, 3});
  EXPECT_EQ(BytesMid(b, 0, 2), Of({1, 2}));
  EXPECT_EQ(BytesMid(b, -7, 1), Of({1}));
  EXPECT_EQ(BytesMid(b, 3, 9), Of({3}));
  EXPECT_EQ(BytesMid(b, 4, 1), Bytes());
  EXPECT_EQ(BytesMid(b, 2, -1), Bytes());
  EXPECT_EQ(BytesMid(b, INT_MAX, INT_MAX), Bytes());
  EXPECT_EQ(BytesMid(b, INT_MIN, INT_MAX), b);
}

TEST(BytesTest, TextConversionStopsAtZero) {
  EXPECT_EQ(BytesToText(Of({0x61, 0, 0x62})), Text("a"));
  EXPECT_EQ(BytesToText(Of({0, 0x61})), Text());
  EXPECT_EQ(BytesToText(Bytes()), Text());
  EXPECT_EQ(TextToBytes("\xD6\xD0"), Of({0xD6, 0xD0}));
  EXPECT_EQ(TextToBytes(Text()), Bytes());
}

TEST(BytesTest, ConcatZerosEqual) {
  EXPECT_EQ(BytesConcat(Bytes(), Bytes()), Bytes());
  EXPECT_EQ(BytesConcat(Of({1}), Bytes(), Of({0, 2})), Of({1, 0, 2}));
  EXPECT_EQ(BytesZeros(2), Of({0, 0}));
  EXPECT_EQ(BytesZeros(0), Bytes());
  EXPECT_TRUE(BytesEqual(Bytes(), BytesZeros(-1)));
  EXPECT_FALSE(BytesEqual(Of({0}), Bytes()));
  EXPECT_EQ(BytesLength(Of({0, 0, 0})), 3);
}

}  // namespace
}  // namespace tarnwick
