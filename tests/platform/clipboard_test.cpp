#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/global_memory.h"
#include "platform/other_clipboard_holder.h"

namespace tarnwick::platform {
namespace {

// What the publisher has been handed, in order.
std::vector<std::optional<std::string>> published;

void RecordPublished(const std::optional<std::string>& utf8Text) {
  published.push_back(utf8Text);
}

// A new block holding `bytes` (zero bytes included).
GlobalHandle BlockOf(std::string_view bytes) {
  GlobalHandle block = GlobalAlloc(kGmemMoveable, bytes.size());
  if (!bytes.empty()) {
    RtlMoveMemory(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  return block;
}

// All bytes of the CF_TEXT block the clipboard holds; nullopt when none.
std::optional<std::string> HeldText() {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::string> bytes;
  GlobalHandle block = GetClipboardData(kClipboardFormatText);
  if (block != nullptr) {
    const auto* data = static_cast<const char*>(GlobalLock(block));
    bytes = std::string(data, GlobalSize(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return bytes;
}

// Replaces the clipboard's content with `bytes` as CF_TEXT.
void PutText(std::string_view bytes) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(kClipboardFormatText, BlockOf(bytes));
  CloseClipboard();
}

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetDesktopClipboardPublisher(&RecordPublished);
    published.clear();
  }
  void TearDown() override {
    CloseClipboard();
    SetDesktopClipboardPublisher(previous_);
  }

 private:
  DesktopClipboardPublisher previous_ = nullptr;
};

TEST_F(ClipboardTest, AcceptedBlockBelongsToTheClipboard) {
  int window = 0;
  SetForegroundWindow(&window);
  EXPECT_EQ(GetForegroundWindow(), &window);

  GlobalHandle block = BlockOf(std::string_view("abc", 4));
  ASSERT_TRUE(OpenClipboard(GetForegroundWindow()));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(kClipboardFormatText, block), block);
  EXPECT_EQ(GetClipboardData(kClipboardFormatText), block);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(HeldText(), std::string("abc", 4));

  // Replacing the content frees the block it held.
  PutText(std::string_view("x", 2));
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(HeldText(), std::string("x", 2));

  ASSERT_TRUE(OpenClipboard(nullptr));
  GlobalHandle held = GetClipboardData(kClipboardFormatText);
  EmptyClipboard();
  EXPECT_EQ(GetClipboardData(kClipboardFormatText), nullptr);
  EXPECT_EQ(GlobalSize(held), 0u);
  CloseClipboard();
  SetForegroundWindow(nullptr);
}

TEST_F(ClipboardTest, OpenClipboardIsRefusedWhileAnotherHoldsItOpen) {
  PutText(std::string_view("old", 4));
  published.clear();
  GlobalHandle block = BlockOf(std::string_view("new", 4));
  {
    const testing::OtherClipboardHolder other;
    ASSERT_TRUE(other.opened());
    EXPECT_FALSE(OpenClipboard(nullptr));
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(kClipboardFormatText, block), nullptr);
    EXPECT_FALSE(CloseClipboard());
  }
  EXPECT_EQ(HeldText(), std::string("old", 4));
  EXPECT_EQ(GlobalSize(block), 4u);  // still the caller's
  GlobalFree(block);
  EXPECT_TRUE(published.empty());

  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));  // not even to the thread holding it
  CloseClipboard();
}

TEST_F(ClipboardTest, CallsOnAClosedClipboardFailWithoutEffect) {
  PutText(std::string_view("kept", 5));
  published.clear();

  GlobalHandle block = BlockOf(std::string_view("lost", 5));
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(kClipboardFormatText, block), nullptr);
  EXPECT_EQ(GetClipboardData(kClipboardFormatText), nullptr);
  EXPECT_FALSE(CloseClipboard());

  EXPECT_EQ(GlobalSize(block), 5u);  // still the caller's
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(HeldText(), std::string("kept", 5));
  EXPECT_TRUE(published.empty());
}

TEST_F(ClipboardTest, NullBlockIsRefused) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(SetClipboardData(kClipboardFormatText, nullptr), nullptr);
  CloseClipboard();
}

TEST_F(ClipboardTest, ChangedContentIsPublishedAsUtf8WithLfLineEnds) {
  struct Case {
    const char* name;
    std::string_view block;
    std::string utf8;
  };
  const Case cases[] = {
      {"ascii", std::string_view("url", 4), "url"},
      {"code page 936",
       std::string_view("\xC7\xA7\xCD\xBC\xCD\xF8\xA3\xBA"
                        "1",
                        10),
       "\xE5\x8D\x83\xE5\x9B\xBE\xE7\xBD\x91\xEF\xBC\x9A"
       "1"},
      {"line ends", std::string_view("a\r\n\r\nb\rc\n", 10), "a\n\nb\rc\n"},
      {"cut at first zero byte", std::string_view("ab\0cd", 6), "ab"},
      {"empty text", std::string_view("", 1), ""},
      {"block without zero byte", std::string_view("xyz", 3), "xyz"},
  };
  for (const Case& c : cases) {
    published.clear();
    PutText(c.block);
    ASSERT_EQ(published.size(), 1u) << c.name;
    EXPECT_EQ(published[0], c.utf8) << c.name;
  }
}

// A text longer than the pieces it is converted in: a CR LF split between two
// pieces, a second byte 0x40 at a piece's edge, and a long run of characters
// with no place to end a piece.
TEST_F(ClipboardTest, LongTextIsPublishedWhole) {
  std::string block(65535, 'a');
  std::string utf8 = block;
  block += "\x81\x40\r\n";  // U+4E02
  utf8 += "\xE4\xB8\x82\n";
  for (int i = 0; i < 70000; ++i) {
    block += "\xC7\xA7";  // U+5343
    utf8 += "\xE5\x8D\x83";
  }
  block += "\r\nend";
  utf8 += "\nend";
  block.push_back('\0');
  PutText(block);
  ASSERT_EQ(published.size(), 1u);
  ASSERT_TRUE(published[0].has_value());
  EXPECT_EQ(published[0]->size(), utf8.size());
  EXPECT_TRUE(*published[0] == utf8);  // not printed whole when it differs
}

TEST_F(ClipboardTest, EmptiedClipboardIsPublishedAsHoldingNothing) {
  PutText(std::string_view("x", 2));
  published.clear();
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  ASSERT_EQ(published.size(), 1u);
  EXPECT_EQ(published[0], std::nullopt);
}

TEST_F(ClipboardTest, UnchangedContentIsNotPublished) {
  PutText(std::string_view("x", 2));
  published.clear();
  HeldText();
  EXPECT_TRUE(published.empty());
}

}  // namespace
}  // namespace tarnwick::platform
