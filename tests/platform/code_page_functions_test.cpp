#include "platform/code_page_functions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::platform {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t kUnknownCodePage = 12345;

// `bytes` in `codePage` as UTF-16, through a size query and a conversion of
// exactly its bytes.
std::u16string ToWide(std::uint32_t codePage, std::string_view bytes) {
  const auto length = static_cast<std::int32_t>(bytes.size());
  const std::int32_t n =
      MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  std::u16string wide(static_cast<std::size_t>(n), u'#');
  EXPECT_EQ(
      MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), n),
      n);
  return wide;
}

std::string ToBytes(std::uint32_t codePage, std::u16string_view wide) {
  const auto length = static_cast<std::int32_t>(wide.size());
  const std::int32_t n = WideCharToMultiByte(codePage, 0, wide.data(), length,
                                             nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n), '#');
  EXPECT_EQ(WideCharToMultiByte(codePage, 0, wide.data(), length, bytes.data(),
                                n, nullptr, nullptr),
            n);
  return bytes;
}

struct ToWideCase {
  std::uint32_t codePage;
  std::string bytes;
  std::u16string expected;
};

TEST(MultiByteToWideCharTest, ConvertsAndSubstitutesAsThePlatform) {
  const ToWideCase cases[] = {
      {kCodePageUtf8, "plain ASCII text, longer than a word",
       u"plain ASCII text, longer than a word"},
      {kCodePageUtf8, "a\0b"s, u"a\0b"s},
      {kCodePageUtf8, "\xE4\xB8\xAD\xE6\x96\x87", u"\u4E2D\u6587"},
      {kCodePageUtf8, "abcdefghij\xC3\xA9", u"abcdefghij\u00E9"},
      {kCodePageUtf8, "\xF0\x9F\x98\x80", u"\U0001F600"},
      {kCodePageUtf8, "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      // Ill-formed input: one U+FFFD per ill-formed subsequence.
      {kCodePageUtf8, "\xFF", u"\uFFFD"},
      {kCodePageUtf8, "a\x80z", u"a\uFFFDz"},
      {kCodePageUtf8, "\xE4\xB8", u"\uFFFD"},
      {kCodePageUtf8, "\xE4\xB8z", u"\uFFFDz"},
      {kCodePageUtf8, "\xE4z", u"\uFFFDz"},
      {kCodePageUtf8, "\xF0\x9F\x98", u"\uFFFD"},
      {kCodePageUtf8, "\xC0\xAF", u"\uFFFD\uFFFD"},
      {kCodePageUtf8, "\xED\xA0\x80", u"\uFFFD\uFFFD"},
      {kCodePageUtf8, "\xE0\x80\x80", u"\uFFFD\uFFFD"},
      {kCodePageUtf8, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {kCodePageUtf8, "\xE4\xB8\xAD\xAD", u"\u4E2D\uFFFD"},
      // Code page 936, also as the ANSI code page.
      {kCodePage936, "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
      {kCodePageAnsi, "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
      {kCodePage936, "a\x80z", u"a\u20ACz"},
      {kCodePage936, "\xA8\xA6", u"\u00E9"},
      {kCodePage936, "A\xD6", u"A?"},
      {kCodePage936, "\xD6 ", u"? "},
      {kCodePage936, "\xD6\x7F", u"?\x7F"},
      {kCodePage936, "\xD6\xD0\xD6", u"\u4E2D?"},
  };
  for (const ToWideCase& c : cases) {
    EXPECT_EQ(ToWide(c.codePage, c.bytes), c.expected)
        << "code page " << c.codePage << ", bytes of length " << c.bytes.size();
  }
}

struct ToBytesCase {
  std::uint32_t codePage;
  std::u16string wide;
  std::string expected;
};

TEST(WideCharToMultiByteTest, ConvertsAndSubstitutesAsThePlatform) {
  const ToBytesCase cases[] = {
      {kCodePage936, u"plain ASCII", "plain ASCII"},
      {kCodePage936, u"a\0b"s, "a\0b"s},
      {kCodePage936, u"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"},
      {kCodePageAnsi, u"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"},
      {kCodePage936, u"\u00E9", "\xA8\xA6"},
      {kCodePage936, u"\u20AC", "\x80"},
      // Characters 936 lacks: "?" per code unit, no best fit.
      {kCodePage936, u"a\U0001F600b", "a??b"},
      {kCodePage936, u"\xD800z", "?z"},
      {kCodePage936, u"\xDC00", "?"},
      {kCodePage936, u"\u0E01", "?"},
      {kCodePage936, u"\u200B", "?"},
      {kCodePage936, u"\uFFFD", "?"},
      {kCodePageUtf8, u"a\u00E9\u4E2D", "a\xC3\xA9\xE4\xB8\xAD"},
      {kCodePageUtf8, u"\U0001F600", "\xF0\x9F\x98\x80"},
      {kCodePageUtf8, u"\xD800z", "\xEF\xBF\xBDz"},
      {kCodePageUtf8, u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const ToBytesCase& c : cases) {
    EXPECT_EQ(ToBytes(c.codePage, c.wide), c.expected)
        << "code page " << c.codePage << ", units " << c.wide.size();
  }
}

TEST(CodePage936Test, EveryCharacterRoundTrips) {
  std::string all = "\x80";
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      all += static_cast<char>(lead);
      all += static_cast<char>(trail);
    }
  }
  const std::u16string wide = ToWide(kCodePage936, all);
  EXPECT_EQ(wide.size(), 1 + (all.size() - 1) / 2);
  EXPECT_EQ(wide.find(u'?'), std::u16string::npos);
  EXPECT_EQ(ToBytes(kCodePage936, wide), all);
}

TEST(MultiByteToWideCharTest, TerminatorAndCapacity) {
  const char* source = "\xE4\xB8\xAD\x61";
  // With -1 the terminating zero is counted and written.
  EXPECT_EQ(MultiByteToWideChar(kCodePageUtf8, 0, source, -1, nullptr, 0), 3);
  char16_t wide[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(MultiByteToWideChar(kCodePageUtf8, 0, source, -1, wide, 4), 3);
  EXPECT_EQ(std::u16string_view(wide, 4), u"\u4E2Da\0#"s);
  // With a length exactly that many bytes, nothing added.
  EXPECT_EQ(MultiByteToWideChar(kCodePageUtf8, 0, source, 3, nullptr, 0), 1);
  EXPECT_EQ(MultiByteToWideChar(kCodePageUtf8, 0, source, -1, wide, 3), 3);
  EXPECT_EQ(MultiByteToWideChar(kCodePageUtf8, 0, source, -1, wide, 2), 0);
  EXPECT_EQ(MultiByteToWideChar(kCodePage936, 0, "\xD6\xD0", -1, wide, 1), 0);
  // A surrogate pair needs room for both units.
  EXPECT_EQ(
      MultiByteToWideChar(kCodePageUtf8, 0, "\xF0\x9F\x98\x80", 4, wide, 1), 0);
  EXPECT_EQ(
      MultiByteToWideChar(kCodePageUtf8, 0, "\xF0\x9F\x98\x80", 4, wide, 2), 2);
}

TEST(WideCharToMultiByteTest, TerminatorAndCapacity) {
  const char16_t* source = u"\u4E2Da";
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, source, -1, nullptr, 0,
                                nullptr, nullptr),
            4);
  EXPECT_EQ(WideCharToMultiByte(kCodePageUtf8, 0, source, -1, nullptr, 0,
                                nullptr, nullptr),
            5);
  char bytes[8] = "#######";
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, source, -1, bytes, 8, nullptr,
                                nullptr),
            4);
  EXPECT_EQ(std::string_view(bytes, 5), "\xD6\xD0\x61\0#"s);
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, source, 2, nullptr, 0, nullptr,
                                nullptr),
            3);
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, source, -1, bytes, 4, nullptr,
                                nullptr),
            4);
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, source, -1, bytes, 3, nullptr,
                                nullptr),
            0);
  // The two bytes of one character need room for both.
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, source, 1, bytes, 1, nullptr,
                                nullptr),
            0);
  EXPECT_EQ(WideCharToMultiByte(kCodePageUtf8, 0, source, -1, bytes, 4, nullptr,
                                nullptr),
            0);
}

TEST(CodePageFunctionsTest, InvalidCallsGiveZero) {
  char16_t wide[4];
  char bytes[4];
  const char16_t* wideSource = u"a";
  char defaultChar = '*';
  bool usedDefault = false;
  for (const std::uint32_t page : {kCodePageUtf8, kCodePage936}) {
    EXPECT_EQ(MultiByteToWideChar(page, 0, nullptr, -1, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(page, 0, "a", 0, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(page, 0, "a", -2, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(page, 0, "a", -1, wide, -1), 0);
    EXPECT_EQ(MultiByteToWideChar(page, 0, "a", -1, nullptr, 4), 0);
    EXPECT_EQ(
        WideCharToMultiByte(page, 0, nullptr, -1, bytes, 4, nullptr, nullptr),
        0);
    EXPECT_EQ(
        WideCharToMultiByte(page, 0, wideSource, 0, bytes, 4, nullptr, nullptr),
        0);
    EXPECT_EQ(WideCharToMultiByte(page, 0, wideSource, -1, nullptr, 4, nullptr,
                                  nullptr),
              0);
  }
  // UTF-8 takes no flags and no default character.
  EXPECT_EQ(MultiByteToWideChar(kCodePageUtf8, 1, "a", -1, wide, 4), 0);
  EXPECT_EQ(WideCharToMultiByte(kCodePageUtf8, 0, wideSource, -1, bytes, 4,
                                &defaultChar, nullptr),
            0);
  EXPECT_EQ(WideCharToMultiByte(kCodePageUtf8, 0, wideSource, -1, bytes, 4,
                                nullptr, &usedDefault),
            0);
  EXPECT_EQ(MultiByteToWideChar(kUnknownCodePage, 0, "a", -1, wide, 4), 0);
  EXPECT_EQ(WideCharToMultiByte(kUnknownCodePage, 0, wideSource, -1, bytes, 4,
                                nullptr, nullptr),
            0);
}

}  // namespace
}  // namespace tarnwick::platform
