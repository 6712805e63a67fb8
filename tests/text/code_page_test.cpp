#include "text/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "text_printers.h"

namespace tarnwick {
namespace {

using namespace std::string_literals;

constexpr std::int32_t kUnknownCodePage = 12345;

Bytes Wide(const std::string& littleEndianUnits) {
  return Bytes::FromString(littleEndianUnits);
}

struct Utf8Case {
  const char* utf8;
  const char* cp936;
};

TEST(Utf8ToCp936Test, ConvertsThroughUtf16) {
  const Utf8Case cases[] = {
      {"", ""},
      {"Hello, world! 123 ~{}", "Hello, world! 123 ~{}"},
      {"\xE4\xB8\xAD", "\xD6\xD0"},
      {"\xE4\xB8\xAD\xE6\x96\x87 ok", "\xD6\xD0\xCE\xC4 ok"},
      {"\xE2\x82\xAC", "\x80"},
      {"\xC3\xA9", "\xA8\xA6"},
      {"a\xF0\x9F\x98\x80z", "a??z"},
      // Ill-formed UTF-8 becomes U+FFFD, which 936 lacks.
      {"a\xFFz", "a?z"},
      {"\xC0\xAF", "??"},
      {"\xED\xA0\x80", "??"},
      {"\xE4\xB8", "?"},
      // Trailing spaces of the text itself are kept.
      {"x  ", "x  "},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(Utf8ToCp936(Text(c.utf8)), Text(c.cp936)) << c.utf8;
  }
}

TEST(Utf8ToCp936Test, ChineseRoundTrips) {
  const Text utf8(
      "\xE4\xB8\x80\xE6\xAC\xBE\xE5\x8F\xAF\xE4\xBB\xA5\xE4\xB8\x8B"
      "\xE8\xBD\xBD\xE7\xB4\xA0\xE6\x9D\x90\xE7\x9A\x84\xE5\xB7\xA5"
      "\xE5\x85\xB7\xEF\xBC\x8C\xE8\xBE\x93\xE5\x85\xA5\xE9\x93\xBE"
      "\xE6\x8E\xA5\xE3\x80\x82");
  const Text cp936 = Utf8ToCp936(utf8);
  EXPECT_EQ(cp936.size(), 34u);
  EXPECT_EQ(cp936.view().find('?'), std::string_view::npos);
  EXPECT_EQ(WideToText(TextToWide(cp936, 936, true), 65001, true), utf8);
}

TEST(TextToWideTest, UnitsWithTerminator) {
  EXPECT_EQ(TextToWide(Text("\xE4\xB8\xAD\x61"), 0, false),
            Wide("\x2D\x4E\x61\x00\x00\x00"s));
  // Without the flag the code page argument is ignored and UTF-8 is read.
  EXPECT_EQ(TextToWide(Text("\xE4\xB8\xAD"), 936, false),
            Wide("\x2D\x4E\x00\x00"s));
  EXPECT_EQ(TextToWide(Text("\xD6\xD0\x80"), 936, true),
            Wide("\x2D\x4E\xAC\x20\x00\x00"s));
  EXPECT_EQ(TextToWide(Text("\xF0\x9F\x98\x80"), 65001, true),
            Wide("\x3D\xD8\x00\xDE\x00\x00"s));
  EXPECT_TRUE(TextToWide(Text(), 0, false).empty());
  EXPECT_TRUE(TextToWide(Text("abc"), kUnknownCodePage, true).empty());
}

struct WideCase {
  std::string units;
  std::int32_t codePage;
  bool useCodePage;
  const char* expected;
};

TEST(WideToTextTest, TextUpToTheFirstZeroByte) {
  const WideCase cases[] = {
      {"", 936, true, ""},
      {"A"s, 936, true, ""},
      {"\x00\x00"s, 936, true, ""},
      {"\x00\x00\x41\x00\x00\x00"s, 936, true, ""},
      // The spaces behind the converted text are dropped, its own kept.
      {"\x41\x00\x00\x00"s, 936, true, "A"},
      {"\x41\x00\x20\x00\x20\x00\x00\x00"s, 936, true, "A  "},
      {"\x2D\x4E\x42\x00\x00\x00"s, 936, true, "\xD6\xD0\x42"},
      // Without its zero unit, or with an odd byte over.
      {"\x2D\x4E\x42\x00"s, 936, true, "\xD6\xD0\x42"},
      {"\x2D\x4E\x42\x00\x43"s, 936, true, "\xD6\xD0\x42"},
      // Without the flag: the ANSI code page, whatever the argument.
      {"\x2D\x4E\x00\x00"s, 65001, false, "\xD6\xD0"},
      {"\x2D\x4E\x00\x00"s, 65001, true, "\xE4\xB8\xAD"},
      {"\x3D\xD8\x00\xDE\x00\x00"s, 65001, true, "\xF0\x9F\x98\x80"},
  };
  for (const WideCase& c : cases) {
    EXPECT_EQ(WideToText(Wide(c.units), c.codePage, c.useCodePage),
              Text(c.expected))
        << "units of " << c.units.size() << " bytes, code page " << c.codePage;
  }
}

TEST(WideToTextTest, FailedConversionGivesEmptyText) {
  // A code page that is not served: the empty text, not the c spaces.
  EXPECT_EQ(WideToText(Wide("\x41\x00\x00\x00"s), kUnknownCodePage, true),
            Text());
  // The buffer is sized from the ANSI code page: two Thai letters take 3
  // bytes there ("??" and the zero), so 6 bytes, but 7 in UTF-8.
  EXPECT_EQ(WideToText(Wide("\x01\x0E\x02\x0E\x00\x00"s), 65001, true), Text());
}

TEST(CodePageTest, ConcurrentConversions) {
  const Text utf8("\xE4\xB8\xAD\xE6\x96\x87 \xE2\x82\xAC \xC3\xA9 abc");
  const Text expected("\xD6\xD0\xCE\xC4 \x80 \xA8\xA6 abc");
  std::vector<std::thread> threads;
  std::vector<int> mismatches(8, 0);
  for (int& count : mismatches) {
    threads.emplace_back([&utf8, &expected, &count] {
      for (int i = 0; i < 200; ++i) {
        if (Utf8ToCp936(utf8) != expected) ++count;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const int count : mismatches) EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace tarnwick
