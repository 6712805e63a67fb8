#include "text/text_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/literal_text_search.h"
#include "text_printers.h"

namespace tarnwick {
namespace {

std::vector<std::string> Strings(const TextArray& pieces) {
  std::vector<std::string> out;
  for (const Text& piece : pieces) out.push_back(piece.str());
  return out;
}

struct FindCase {
  const char* text;
  const char* target;
  std::int32_t start;
  bool ignoreCase;
  std::int32_t expected;
};

TEST(TextFindTest, PositionsStartsAndCase) {
  const FindCase cases[] = {
      {"abcabc", "a", 2, false, 4},
      {"abcabc", "a", 0, false, 1},
      {"abcabc", "a", -5, false, 1},
      {"abcabc", "a", 7, false, -1},
      {"abc", "", 1, false, 1},
      {"abc", "", 3, false, 1},
      {"abc", "", 4, false, -1},
      {"", "", 1, false, -1},
      {"abc", "abcd", 1, false, -1},
      {"Content-Type: x", "content-type", 1, true, 1},
      {"Content-Type: x", "content-type", 1, false, -1},
      // A match never begins on the second byte of a two-byte character.
      {"\xB0\x41\x41", "\x41", 1, false, 3},
      // The scan starts at `start` even inside a character.
      {"\xB0\x41\x41", "\x41", 2, false, 2},
      // Second bytes are folded too.
      {"\xB0\x41", "\xB0\x61", 1, true, 1},
      {"\xB0\x41", "\xB0\x61", 1, false, -1},
      // Bytes other than A-Z are not folded.
      {"\xC0", "\xE0", 1, true, -1},
      // A lone lead byte is compared, then ends the search.
      {"a\xB0", "\xB0", 1, false, 2},
      {"\xB0\xB0\xB0", "\xB0", 2, false, 2},
      {"\xB0\xB0\xB0", "\xB0", 1, false, 1},
      {"\xB0\xB0" "a", "a", 1, false, 3},
      {"\xB0\xB0\xB0" "a", "a", 1, false, -1},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(TextFind(c.text, c.target, c.start, c.ignoreCase), c.expected)
        << "text=" << c.text << " target=" << c.target << " start=" << c.start;
  }
}

TEST(TextReplaceTest, Cases) {
  EXPECT_EQ(TextReplace("Content-type: x", "content-type", "Content-Type", 1,
                        -1, true),
            Text("Content-type: x"));
  EXPECT_EQ(TextReplace("Content-type: x", "content-type", "Content-Type", 1,
                        -1, false),
            Text("Content-Type: x"));
  EXPECT_EQ(TextReplace("Set-Cookie: a\r\nSET-COOKIE: b", "Set-Cookie:", {}, 1,
                        -1, false),
            Text(" a\r\n b"));
  // start and count.
  EXPECT_EQ(TextReplace("aaaa", "a", "b", 2, 2, true), Text("abba"));
  EXPECT_EQ(TextReplace("aaaa", "a", "b", 1, 0, true), Text("aaaa"));
  EXPECT_EQ(TextReplace("aaaa", "a", "b", 1, -3, true), Text("bbbb"));
  EXPECT_EQ(TextReplace("aaaa", "a", "b", 5, -1, true), Text("aaaa"));
  EXPECT_EQ(TextReplace("aaaa", "", "b", 1, -1, true), Text("aaaa"));
  // Character stepping: the A after the lead byte B0 is its second byte.
  EXPECT_EQ(TextReplace("\xB0" "AA", "A", "x", 1, -1, true), Text("\xB0" "Ax"));
  // A lone lead byte met by a one-byte scan is dropped; with a longer target
  // the scan stops before it and the byte stays.
  EXPECT_EQ(TextReplace("a\xB0", "b", "c", 1, -1, true), Text("a"));
  EXPECT_EQ(TextReplace("a\xB0", "bc", "d", 1, -1, true), Text("a\xB0"));
  // After the limit the rest is copied unchanged.
  EXPECT_EQ(TextReplace("ab\xB0", "a", "x", 1, 1, true), Text("xb\xB0"));
}

TEST(TextSplitTest, PiecesAndLimits) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Strings(TextSplit("a;b", ";")), (V{"a", "b"}));
  EXPECT_EQ(Strings(TextSplit(";a", ";")), (V{"", "a"}));
  EXPECT_EQ(Strings(TextSplit("a;;b", ";")), (V{"a", "", "b"}));
  EXPECT_EQ(Strings(TextSplit("a;b;", ";")), (V{"a", "b"}));
  EXPECT_EQ(Strings(TextSplit(";", ";")), (V{""}));
  EXPECT_EQ(Strings(TextSplit("", ";")), (V{}));
  EXPECT_EQ(Strings(TextSplit("a;b", "")), (V{"a;b"}));
  EXPECT_EQ(Strings(TextSplit("a,b")), (V{"a", "b"}));
  EXPECT_EQ(Strings(TextSplit("a;b;c", ";", 2)), (V{"a", "b"}));
  EXPECT_EQ(Strings(TextSplit("a;b", ";", 5)), (V{"a", "b"}));
  EXPECT_EQ(Strings(TextSplit("a;b", ";", 0)), (V{}));
  EXPECT_EQ(Strings(TextSplit("a;b", ";", -1)), (V{}));
  EXPECT_EQ(Strings(TextSplit("a\r\nb\r\n", "\r\n")), (V{"a", "b"}));
  // The delimiter is not matched on a second byte; a lone lead byte stays in
  // the last piece.
  EXPECT_EQ(Strings(TextSplit("\xB0;a;\xB0", ";")), (V{"\xB0;a", "\xB0"}));
}

TEST(TextTrimTest, BlanksAndLoneLeadBytes) {
  const std::pair<const char*, const char*> cases[] = {
      {"\x20\xA1\xA1\x61\x20\x09\x20", "\x61\x20\x09"},
      {"\x61\x20\xB0", "\x61\x20"},
      {"  \xA1", ""},
      {"\xA1\xA1\xA1\xA1", ""},
      {"a\xA1\xA1", "a"},
      {"\tb\t", "\tb\t"},
      {"\xB0\x20 x", "\xB0\x20 x"},
      {"\xB0\xA1\xA1 ", "\xB0\xA1\xA1 "},
      {"", ""},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(TextTrim(in), Text(out)) << in;
  }
}

TEST(TextRemoveBlanksTest, Cases) {
  EXPECT_EQ(TextRemoveBlanks("\x61\x20\x09\xA1\xA1\x62\x0D\x0A"),
            Text("\x61\x09\x62\x0D\x0A"));
  EXPECT_EQ(TextRemoveBlanks("k = v\xA1\xA1w"), Text("k=vw"));
  EXPECT_EQ(TextRemoveBlanks("\xB0\xA1\xA1\xA1"), Text("\xB0\xA1"));
  EXPECT_EQ(TextRemoveBlanks("a \xB0"), Text("a"));
}

// Random texts over a small alphabet that is rich in lead bytes, blanks,
// letters of both cases and delimiters, compared with the literal versions.
class DifferentialTest : public ::testing::Test {
 protected:
  std::string RandomText(std::size_t maxLength) {
    static const unsigned char kAlphabet[] = {'a', 'A', 'b', ' ', ';', '=',
                                              0xA1, 0xB0, 0x41, 0x80, 0xFF};
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    std::string s(length(rng_), ' ');
    for (char& c : s) c = static_cast<char>(kAlphabet[pick(rng_)]);
    return s;
  }
  int RandomInt(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng_);
  }

  std::mt19937 rng_{20261211};
};

TEST_F(DifferentialTest, MatchesLiteralRules) {
  for (int round = 0; round < 20000; ++round) {
    const std::string t = RandomText(12);
    const std::string w = RandomText(3);
    const std::string r = RandomText(2);
    const int start = RandomInt(-1, 14);
    const int count = RandomInt(-1, 3);
    const bool flag = RandomInt(0, 1) == 1;
    ASSERT_EQ(TextFind(t, w, start, flag), literal::Find(t, w, start, flag))
        << "t=" << t << " w=" << w << " start=" << start;
    ASSERT_EQ(TextReplace(t, w, r, start, count, flag).str(),
              literal::Replace(t, w, r, start, count, flag))
        << "t=" << t << " w=" << w << " start=" << start << " count=" << count;
    const std::optional<std::int32_t> maxCount =
        flag ? std::optional<std::int32_t>(count) : std::nullopt;
    ASSERT_EQ(Strings(TextSplit(t, w, maxCount)), literal::Split(t, w, maxCount))
        << "t=" << t << " d=" << w;
    ASSERT_EQ(TextTrim(t).str(), literal::Trim(t)) << "t=" << t;
    ASSERT_EQ(TextRemoveBlanks(t).str(), literal::RemoveBlanks(t)) << "t=" << t;
  }
}

}  // namespace
}  // namespace tarnwick
