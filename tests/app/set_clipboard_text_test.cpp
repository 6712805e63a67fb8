#include "app/set_clipboard_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/clipboard_block.h"
#include "platform/clipboard.h"
#include "platform/global_memory.h"
#include "platform/other_clipboard_holder.h"

namespace tarnwick {
namespace {

using testing::ClipboardBlock;

using ::testing::ElementsAre;

// The platform calls made, each as a line naming it and its arguments; a
// handle as "h", the foreground window as "w", null as "0".
std::vector<std::string> calls;
platform::GlobalHandle allocated = nullptr;
int foregroundWindow = 0;

std::string Name(const void* handle) {
  if (handle == nullptr) return "0";
  if (handle == allocated) return "h";
  if (handle == &foregroundWindow) return "w";
  return "?";
}

constexpr ClipboardCalls kRecordingCalls = {
    [](std::uint32_t flags, std::size_t bytes) {
      allocated = platform::GlobalAlloc(flags, bytes);
      calls.push_back("GlobalAlloc " + std::to_string(flags) + " " +
                      std::to_string(bytes));
      return allocated;
    },
    [](platform::GlobalHandle block) {
      calls.push_back("GlobalLock " + Name(block));
      return platform::GlobalLock(block);
    },
    [](void* destination, const void* source, std::size_t count) {
      calls.push_back("RtlMoveMemory " + std::to_string(count));
      platform::RtlMoveMemory(destination, source, count);
    },
    [](platform::GlobalHandle block) {
      calls.push_back("GlobalUnlock " + Name(block));
      return platform::GlobalUnlock(block);
    },
    [] {
      calls.push_back("GetForegroundWindow");
      return platform::GetForegroundWindow();
    },
    [](platform::WindowHandle owner) {
      calls.push_back("OpenClipboard " + Name(owner));
      return platform::OpenClipboard(owner);
    },
    [] {
      calls.push_back("EmptyClipboard");
      return platform::EmptyClipboard();
    },
    [](std::uint32_t format, platform::GlobalHandle block) {
      calls.push_back("SetClipboardData " + std::to_string(format) + " " +
                      Name(block));
      return platform::SetClipboardData(format, block);
    },
    [] {
      calls.push_back("CloseClipboard");
      return platform::CloseClipboard();
    },
    [](platform::GlobalHandle block) {
      calls.push_back("GlobalFree " + Name(block));
      return platform::GlobalFree(block);
    },
};

class SetClipboardTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    platform::SetForegroundWindow(&foregroundWindow);
  }
  void TearDown() override { platform::SetForegroundWindow(nullptr); }
};

TEST_F(SetClipboardTextTest, OffersTheTextAndAZeroByteAsCfText) {
  SetClipboardText("ab\xC7\xA7\r\n", kRecordingCalls);

  EXPECT_THAT(
      calls,
      ElementsAre("GlobalAlloc 2 7", "GlobalLock h", "RtlMoveMemory 6",
                  "GlobalUnlock h", "GetForegroundWindow", "OpenClipboard w",
                  "EmptyClipboard", "SetClipboardData 1 h", "CloseClipboard"));
  EXPECT_EQ(ClipboardBlock(), std::string("ab\xC7\xA7\r\n\0", 7));
}

TEST_F(SetClipboardTextTest, EmptyTextLeavesABlockOfOneZeroByte) {
  SetClipboardText("before");
  SetClipboardText(Text());
  EXPECT_EQ(ClipboardBlock(), std::string(1, '\0'));
}

TEST_F(SetClipboardTextTest, ClipboardHeldElsewhereKeepsItsContent) {
  SetClipboardText("before");
  {
    const testing::OtherClipboardHolder other;
    ASSERT_TRUE(other.opened());
    SetClipboardText("after", kRecordingCalls);
  }
  EXPECT_THAT(calls, ElementsAre("GlobalAlloc 2 6", "GlobalLock h",
                                 "RtlMoveMemory 5", "GlobalUnlock h",
                                 "GetForegroundWindow", "OpenClipboard w",
                                 "EmptyClipboard", "SetClipboardData 1 h",
                                 "GlobalFree h", "CloseClipboard"));
  EXPECT_EQ(platform::GlobalSize(allocated), 0u);  // the refused block is gone
  EXPECT_EQ(ClipboardBlock(), std::string("before", 7));
}

TEST_F(SetClipboardTextTest, BlockThatCannotBeHadChangesNothing) {
  SetClipboardText("before");
  ClipboardCalls noMemory = kRecordingCalls;
  noMemory.globalAlloc = [](std::uint32_t,
                            std::size_t) -> platform::GlobalHandle {
    allocated = nullptr;
    return nullptr;
  };
  SetClipboardText("after", noMemory);
  EXPECT_EQ(ClipboardBlock(), std::string("before", 7));
}

}  // namespace
}  // namespace tarnwick
