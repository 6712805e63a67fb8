#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace tarnwick::platform {
namespace {

TEST(GlobalMemoryTest, BlockHoldsWhatIsWrittenThroughItsLock) {
  GlobalHandle block = GlobalAlloc(kGmemMoveable, 6);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 6u);

  auto* bytes = static_cast<char*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  RtlMoveMemory(bytes, "hello", 6);
  EXPECT_FALSE(GlobalUnlock(block));

  const auto* again = static_cast<const char*>(GlobalLock(block));
  EXPECT_EQ(again, bytes);
  EXPECT_STREQ(again, "hello");
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, UnlockReportsWhetherLocksRemain) {
  GlobalHandle block = GlobalAlloc(kGmemMoveable, 1);
  GlobalLock(block);
  GlobalLock(block);
  EXPECT_TRUE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block));  // no lock left to take off
  GlobalFree(block);
}

TEST(GlobalMemoryTest, ZeroInitFillsTheBlockWithZeros) {
  GlobalHandle block = GlobalAlloc(kGmemMoveable | kGmemZeroInit, 64);
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(bytes[i], 0) << i;
  GlobalUnlock(block);
  GlobalFree(block);
}

TEST(GlobalMemoryTest, EmptyBlockIsLiveButHasNoBytes) {
  GlobalHandle block = GlobalAlloc(kGmemMoveable, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, HandlesThatNameNoLiveBlockAreRefused) {
  GlobalHandle freed = GlobalAlloc(kGmemMoveable, 4);
  GlobalFree(freed);
  int local = 0;
  for (GlobalHandle refused :
       {GlobalHandle{nullptr}, freed, static_cast<GlobalHandle>(&local)}) {
    EXPECT_EQ(GlobalLock(refused), nullptr);
    EXPECT_FALSE(GlobalUnlock(refused));
    EXPECT_EQ(GlobalSize(refused), 0u);
    EXPECT_EQ(GlobalFree(refused), refused);
  }
}

TEST(GlobalMemoryTest, MoveMemoryHandlesOverlappingRanges) {
  char bytes[] = "abcdef";
  RtlMoveMemory(bytes + 1, bytes, 4);
  EXPECT_STREQ(bytes, "aabcdf");
  RtlMoveMemory(nullptr, nullptr, 0);
}

}  // namespace
}  // namespace tarnwick::platform
