// The clipboard functions reach the desktop's own clipboard. The owner is a
// window of this process, as the main window is in the program.
#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/set_clipboard_text.h"
#include "platform/global_memory.h"
#include "platform/other_clipboard_holder.h"
#include "windows/under_wine.h"

namespace tarnwick::platform {
namespace {

// All bytes of the CF_TEXT block the clipboard holds; nullopt for none.
std::optional<std::string> HeldText(WindowHandle owner) {
  if (!OpenClipboard(owner)) return std::nullopt;
  std::optional<std::string> bytes;
  if (GlobalHandle block = GetClipboardData(kClipboardFormatText)) {
    const auto* data = static_cast<const char*>(GlobalLock(block));
    if (data != nullptr) bytes = std::string(data, GlobalSize(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return bytes;
}

class WindowsClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"clipboard owner", WS_OVERLAPPED, 0, 0, 10, 10,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  HWND window_ = nullptr;
};

TEST_F(WindowsClipboardTest, SetClipboardTextOffersTheBytesAndAZeroAsCfText) {
  struct Case {
    const char* name;
    Text text;
  };
  const Case cases[] = {
      {"code page 936 and CR LF", "\xC7\xA7\xCD\xBC\xCD\xF8\xA3\xBA\r\nx"},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    SetClipboardText(c.text);
    const std::optional<std::string> held = HeldText(window_);
    ASSERT_TRUE(held.has_value()) << c.name;
    // The platform may round the block up; the text and its zero come first.
    ASSERT_GE(held->size(), c.text.size() + 1) << c.name;
    EXPECT_EQ(held->substr(0, c.text.size() + 1), c.text.str() + '\0') << c.name;
  }
}

TEST_F(WindowsClipboardTest, UnicodeTextIsSynthesisedFromCodePage936) {
  SetClipboardText("\xD6\xD0\xCE\xC4");
  ASSERT_TRUE(OpenClipboard(window_));
  HANDLE unicode = ::GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(unicode, nullptr);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(::GlobalLock(unicode))), L"\u4E2D\u6587");
  ::GlobalUnlock(unicode);
  CloseClipboard();
}

TEST_F(WindowsClipboardTest, ClipboardOpenElsewhereIsRefused) {
  SetClipboardText("before");
  GlobalHandle block = GlobalAlloc(kGmemMoveable, 6);
  RtlMoveMemory(GlobalLock(block), "after", 6);
  GlobalUnlock(block);
  {
    const testing::OtherClipboardHolder other;
    ASSERT_TRUE(other.opened());
    EXPECT_FALSE(OpenClipboard(window_));
    EXPECT_FALSE(EmptyClipboard());
    if (testing::UnderWine()) {
      GlobalFree(block);
      GTEST_SKIP() << "Wine's SetClipboardData takes a block from a thread that "
                      "has not opened the clipboard while another thread has";
    }
    EXPECT_EQ(SetClipboardData(kClipboardFormatText, block), nullptr);
    EXPECT_FALSE(CloseClipboard());
  }
  EXPECT_EQ(GlobalFree(block), nullptr);  // still the caller's
  EXPECT_EQ(HeldText(window_)->substr(0, 7), std::string("before", 7));
}

TEST_F(WindowsClipboardTest, NullBlockIsRefused) {
  ASSERT_TRUE(OpenClipboard(window_));
  EXPECT_EQ(SetClipboardData(kClipboardFormatText, nullptr), nullptr);
  CloseClipboard();
}

TEST_F(WindowsClipboardTest, ForegroundWindowIsThePlatformsOwn) {
  EXPECT_EQ(GetForegroundWindow(), ::GetForegroundWindow());
}

}  // namespace
}  // namespace tarnwick::platform
