#include "platform/code_page_functions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "text/literal_code_page.h"

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

// Each two bytes from 80 on and each UTF-16 unit, as ICU's converter gives
// them one character at a time: the tables hold ICU's answer everywhere.
TEST(CodePage936Test, EveryPairAndUnitAsIcuConvertsItAlone) {
  int mismatches = 0;
  for (unsigned first = 0x80; first <= 0xFF; ++first) {
    for (unsigned second = 0; second <= 0xFF; ++second) {
      const std::string bytes = {static_cast<char>(first),
                                 static_cast<char>(second)};
      if (ToWide(kCodePage936, bytes) != literal::Cp936ToUtf16(bytes)) {
        ADD_FAILURE() << "bytes " << first << " " << second;
        if (++mismatches == 10) return;
      }
    }
  }
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    const std::u16string wide(1, static_cast<char16_t>(unit));
    if (ToBytes(kCodePage936, wide) != literal::Utf16ToCp936(wide)) {
      ADD_FAILURE() << "unit " << unit;
      if (++mismatches == 10) return;
    }
  }
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

// Some 8000 bytes of ASCII runs, characters of every length and
// ill-formed subsequences, in a fixed pseudo-random order, with no zero byte.
std::string MixedUtf8() {
  static const char* const kPieces[] = {
      "\xE4\xB8\xAD", "\xE6\x96\x87", "\xEF\xBC\x9A", "\xE2\x82\xAC",
      "\xC3\xA9", "\xD0\x96", "\xF0\x9F\x98\x80", "\xE0\xA4\x85", "\xED\x95\x9C",
      "\xF4\x8F\xBF\xBF", "\xEF\xBF\xBF",
      // Ill-formed: surrogate, overlong, cut short, stray, out of range.
      "\xED\xA0\x80", "\xC0\xAF", "\xE0\x80\x80", "\xE4\xB8", "\xF0\x9F",
      "\xE4", "\x80", "\xBF", "\xFF", "\xF4\x90\x80\x80", "\xC2"};
  std::mt19937 random(936);
  std::string text;
  while (text.size() < 8000) {
    const unsigned kind = random() % 4;
    if (kind == 0) {
      text.append(random() % 40, static_cast<char>('a' + random() % 26));
    } else if (kind == 1) {
      text += kPieces[random() % 6];  // the common case: text of a page
    } else {
      text += kPieces[random() % std::size(kPieces)];
    }
  }
  return text;
}

// The conversions take their source in blocks of 16 bytes and stretches of
// 64 where they can, and read a zero-terminated source without measuring it
// first. The same text from each of its first 64 bytes on (so that every
// character meets every place in a stretch, and the source every offset from
// a block boundary), with and without a length, into destinations of exactly
// the size and one unit less, agrees with the rules written out character by
// character.
TEST(CodePageFunctionsTest, LongSourcesFollowTheRulesFromEveryStart) {
  const std::string mixed = MixedUtf8();
  for (std::size_t start = 0; start < 64; ++start) {
    SCOPED_TRACE(start);
    const std::string utf8 = mixed.substr(start);
    const std::u16string expectedWide = literal::Utf8ToUtf16(utf8);
    const std::string expected936 = literal::Utf16ToCp936(expectedWide);
    const std::size_t offset = start % 16;
    for (const bool terminated : {true, false}) {
      SCOPED_TRACE(terminated ? "zero-terminated" : "with a length");
      const std::int32_t extra = terminated ? 1 : 0;

      std::vector<char> bytes(offset + utf8.size() + 1);
      std::memcpy(bytes.data() + offset, utf8.data(), utf8.size());
      const char* source = bytes.data() + offset;
      const std::int32_t length =
          terminated ? -1 : static_cast<std::int32_t>(utf8.size());
      const std::int32_t n =
          MultiByteToWideChar(kCodePageUtf8, 0, source, length, nullptr, 0);
      ASSERT_EQ(n, static_cast<std::int32_t>(expectedWide.size()) + extra);
      std::vector<char16_t> units(offset + n, u'#');
      char16_t* wide = units.data() + offset;
      EXPECT_EQ(
          MultiByteToWideChar(kCodePageUtf8, 0, source, length, wide, n - 1), 0);
      ASSERT_EQ(MultiByteToWideChar(kCodePageUtf8, 0, source, length, wide, n),
                n);
      ASSERT_EQ(std::u16string_view(wide, expectedWide.size()), expectedWide);

      const std::int32_t unitLength =
          terminated ? -1 : static_cast<std::int32_t>(expectedWide.size());
      const std::int32_t m = WideCharToMultiByte(
          kCodePage936, 0, wide, unitLength, nullptr, 0, nullptr, nullptr);
      ASSERT_EQ(m, static_cast<std::int32_t>(expected936.size()) + extra);
      std::string out(static_cast<std::size_t>(m), '#');
      EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, wide, unitLength,
                                    out.data(), m - 1, nullptr, nullptr),
                0);
      ASSERT_EQ(WideCharToMultiByte(kCodePage936, 0, wide, unitLength,
                                    out.data(), m, nullptr, nullptr),
                m);
      ASSERT_EQ(out.substr(0, expected936.size()), expected936);
    }
  }
}

// With a length, zero units are characters like any other, and a zero-
// terminated source ends at its first one, even deep inside a block.
TEST(CodePageFunctionsTest, ZeroUnitsInsideLongSources) {
  std::string utf8(100, 'a');
  utf8 += "\xE4\xB8\xAD";
  utf8 += '\0';
  utf8 += std::string(100, 'b');
  const std::u16string wide = literal::Utf8ToUtf16(utf8);
  EXPECT_EQ(ToWide(kCodePageUtf8, utf8), wide);
  EXPECT_EQ(ToBytes(kCodePage936, wide), literal::Utf16ToCp936(wide));
  EXPECT_EQ(MultiByteToWideChar(kCodePageUtf8, 0, utf8.c_str(), -1, nullptr, 0),
            102);
  EXPECT_EQ(WideCharToMultiByte(kCodePage936, 0, wide.c_str(), -1, nullptr, 0,
                                nullptr, nullptr),
            103);
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
