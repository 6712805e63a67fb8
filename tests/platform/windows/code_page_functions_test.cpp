// The code page functions reach the platform's own, with UTF-16 code units
// passed through unchanged. The ANSI code page is 936 here (the tests run in
// the zh_CN locale).
#include "platform/code_page_functions.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tarnwick::platform {
namespace {

using namespace std::string_literals;

TEST(WindowsCodePageFunctionsTest, ConvertsBothWaysThroughThePlatform) {
  struct Case {
    std::uint32_t codePage;
    std::string bytes;
    std::u16string wide;
  };
  const Case cases[] = {
      {kCodePageUtf8, "a\xE4\xB8\xAD\xF0\x9F\x98\x80", u"a\u4E2D\U0001F600"},
      {kCodePage936, "\xD6\xD0\xCE\xC4\x80", u"\u4E2D\u6587\u20AC"},
      {kCodePageAnsi, "\xC7\xA7\xCD\xBC\xCD\xF8", u"\u5343\u56FE\u7F51"},
      {kCodePage936, "a\0b"s, u"a\0b"s},
  };
  for (const Case& c : cases) {
    const auto length = static_cast<std::int32_t>(c.bytes.size());
    std::u16string wide(c.wide.size(), u'#');
    EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.bytes.data(), length, nullptr, 0),
              static_cast<std::int32_t>(c.wide.size()));
    EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.bytes.data(), length, wide.data(),
                                  static_cast<std::int32_t>(wide.size())),
              static_cast<std::int32_t>(c.wide.size()));
    EXPECT_EQ(wide, c.wide) << "code page " << c.codePage;

    const auto units = static_cast<std::int32_t>(c.wide.size());
    std::string bytes(c.bytes.size(), '#');
    EXPECT_EQ(WideCharToMultiByte(c.codePage, 0, c.wide.data(), units, nullptr, 0, nullptr,
                                  nullptr),
              length);
    EXPECT_EQ(WideCharToMultiByte(c.codePage, 0, c.wide.data(), units, bytes.data(), length,
                                  nullptr, nullptr),
              length);
    EXPECT_EQ(bytes, c.bytes) << "code page " << c.codePage;
  }
}

TEST(WindowsCodePageFunctionsTest, TerminatorIsCountedWithMinusOne) {
  EXPECT_EQ(MultiByteToWideChar(kCodePage936, 0, "\xD6\xD0", -1, nullptr, 0), 2);
  char16_t wide[3] = {u'#', u'#', u'#'};
  EXPECT_EQ(MultiByteToWideChar(kCodePage936, 0, "\xD6\xD0", -1, wide, 3), 2);
  EXPECT_EQ(std::u16string_view(wide, 3), u"\u4E2D\0#"s);
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, u"\u4E2D", -1, nullptr, 0, nullptr, nullptr),
            3);
  // Too small a destination gives 0.
  char bytes[2];
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, u"\u4E2D", -1, bytes, 2, nullptr, nullptr),
            0);
}

TEST(WindowsCodePageFunctionsTest, UsedDefaultCharacterIsReported) {
  char bytes[8] = {};
  bool usedDefault = false;
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, u"a\u0E01", 2, bytes, 8, nullptr, &usedDefault),
            2);
  EXPECT_EQ(std::string_view(bytes, 2), "a?");
  EXPECT_TRUE(usedDefault);

  usedDefault = true;
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, u"ab", 2, bytes, 8, nullptr, &usedDefault), 2);
  EXPECT_FALSE(usedDefault);
}

}  // namespace
}  // namespace tarnwick::platform
