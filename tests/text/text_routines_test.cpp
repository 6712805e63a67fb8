#include "text/text_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/text_search.h"
#include "text_printers.h"

namespace tarnwick {
namespace {

std::vector<std::string> Strings(const TextArray& items) {
  std::vector<std::string> out;
  for (const Text& item : items) out.push_back(item.str());
  return out;
}

TEST(TextLeftOfTest, Cases) {
  EXPECT_EQ(TextLeftOf("Set-Cookie: a=1", ": "), Text("Set-Cookie"));
  EXPECT_EQ(TextLeftOf("abcabc", "c", 4), Text("abcab"));
  EXPECT_EQ(TextLeftOf("abc", "a"), Text());
  EXPECT_EQ(TextLeftOf("abc", ""), Text());
  EXPECT_EQ(TextLeftOf("abc", "x"), Text());
  EXPECT_EQ(TextLeftOf("abc", "c", 9), Text());
  EXPECT_EQ(TextLeftOf("abc", "c", -3), Text("ab"));
  EXPECT_EQ(TextLeftOf("ABC", "b"), Text());
  EXPECT_EQ(TextLeftOf("ABC", "b", 1, true), Text("A"));
}

TEST(TextBetweenTest, Cases) {
  EXPECT_EQ(TextBetween("Set-Cookie: a=1; path=/", "Set-Cookie:", ";"),
            Text(" a=1"));
  const Text quote(kQuoteToken);
  EXPECT_EQ(TextBetween("x=\"v\" y", TextConcat("=", quote), quote), Text("v"));
  EXPECT_EQ(TextBetween("abc", "a", "c", 4), Text());
  EXPECT_EQ(TextBetween("abc", "a", ""), Text());
  EXPECT_EQ(TextBetween("abc", "", "c"), Text("ab"));
  EXPECT_EQ(TextBetween("abab", "a", "b", 2), Text());
  EXPECT_EQ(TextBetween("abc", "c", "x"), Text());
  EXPECT_EQ(TextBetween("abc", "bc", ""), Text());
  EXPECT_EQ(TextBetween("xAyBz", "a", "b", 1, true), Text("y"));
}

TEST(JoinUniqueTest, Cases) {
  struct Case {
    const char* text;
    const char* delimiter;
    bool split;
    const char* expected;
  };
  const Case cases[] = {
      {"a;b;a;c", ";", true, "a;b;c"},
      {"a;;b;;", ";", true, "a;;b"},
      {"abca", ",", false, "a,b,c"},
      {"abca", "", false, "abc"},
      {"", ";", true, ""},
      {"", ";", false, ""},
      {"a=1; a=1; b=2", "; ", true, "a=1; b=2"},
      {"\xD6\xD0\xD6\xD0x", "", false, "\xD6\xD0x"},
      {"a;b", "", true, "a;b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoinUnique(c.text, c.delimiter, c.split), Text(c.expected))
        << c.text << " / " << c.delimiter;
  }
}

TEST(SplitIntoCharactersTest, Cases) {
  using V = std::vector<std::string>;
  TextArray characters{Text("stale")};
  EXPECT_EQ(SplitIntoCharacters("a\xD6\xD0\r\nb\rc", characters), 6);
  EXPECT_EQ(Strings(characters), (V{"a", "\xD6\xD0", "\r\n", "b", "\r", "c"}));
  SplitIntoCharacters("\x80\x41", characters);
  EXPECT_EQ(Strings(characters), (V{"\x80", "\x41"}));
  SplitIntoCharacters("\xFF\x41z", characters);
  EXPECT_EQ(Strings(characters), (V{"\xFF\x41", "z"}));
  SplitIntoCharacters("a\xC0", characters);
  EXPECT_EQ(Strings(characters), (V{"a", "\xC0"}));
  EXPECT_EQ(SplitIntoCharacters("", characters), 0);
  EXPECT_TRUE(characters.empty());
}

TEST(FindInArrayTest, Cases) {
  const TextArray items{Text("a"), Text(), Text("b"), Text()};
  EXPECT_EQ(FindInArray(items, "A"), -1);
  EXPECT_EQ(FindInArray(items, "b"), 3);
  EXPECT_EQ(FindInArray(items, ""), 2);
  EXPECT_EQ(FindInArray({}, ""), -1);
}

// JoinUnique against its literal form: split, then a linear search of the
// items seen for every item.
TEST(JoinUniqueTest, MatchesLiteralForm) {
  std::mt19937 rng(7);
  const char kAlphabet[] = {'a', 'b', ';', ' ', '\r', '\n', '\xD6', '\x80'};
  const char* const kDelimiters[] = {";", "; ", "", "\r\n"};
  for (int round = 0; round < 5000; ++round) {
    std::string s(rng() % 12, ' ');
    for (char& c : s) c = kAlphabet[rng() % sizeof kAlphabet];
    const Text delimiter(kDelimiters[rng() % 4]);
    const bool split = rng() % 2 == 0;
    TextArray items;
    if (split) {
      items = TextSplit(s, delimiter);
    } else {
      SplitIntoCharacters(s, items);
    }
    TextArray seen;
    std::string expected;
    for (const Text& item : items) {
      if (FindInArray(seen, item) != -1) continue;
      ArrayAppend(seen, item);
      expected += item.str() + delimiter.str();
    }
    expected.resize(expected.size() - std::min(expected.size(), delimiter.size()));
    ASSERT_EQ(JoinUnique(s, delimiter, split).str(), expected) << s;
  }
}

}  // namespace
}  // namespace tarnwick
