#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "text_printers.h"

namespace tarnwick {
namespace {

TEST(TextTest, ConstructionStopsAtFirstZeroByte) {
  EXPECT_EQ(Text(std::string_view("a\0b", 3)).str(), "a");
  EXPECT_EQ(Text(std::string("\0a", 2)).str(), "");
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)), Text());
  EXPECT_EQ(Text(""), Text());
}

TEST(TextTest, CuttingClampsPositionsAndCounts) {
  struct Case {
    Text actual;
    const char* expected;
  };
  const Case cases[] = {
      {TextMid("abc", 0, 2), ""},
      {TextMid("abc", 2, 5), "bc"},
      {TextMid("abc", 4, 1), ""},
      {TextMid("abc", 3, 1), "c"},
      {TextMid("abc", 1, 0), ""},
      {TextMid("abc", 2, INT_MAX), "bc"},
      {TextLeft("abc", 5), "abc"},
      {TextLeft("abc", -1), ""},
      {TextLeft("\xD6\xD0", 1), "\xD6"},
      {TextRight("abc", 0), ""},
      {TextRight("abc", 2), "bc"},
      {TextRight("abc", INT_MAX), "abc"},
      {TextSpaces(3), "   "},
      {TextSpaces(-2), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, Text(c.expected));
}

TEST(TextTest, CharCodeIsSigned) {
  EXPECT_EQ(TextCharCode("="), 61);
  EXPECT_EQ(TextCharCode("\xB0"), -80);
  EXPECT_EQ(TextCharCode("ab", 2), 98);
  EXPECT_EQ(TextCharCode("ab", 3), 0);
  EXPECT_EQ(TextCharCode("ab", 0), 0);
  EXPECT_EQ(TextCharCode(""), 0);
}

TEST(TextTest, ConcatAndEqual) {
  EXPECT_EQ(TextConcat(Text(), Text()), Text());
  EXPECT_EQ(TextConcat(Text("url="), "a b", Text("\xD6\xD0")),
            Text("url=a b\xD6\xD0"));
  EXPECT_TRUE(TextEqual(Text(), ""));
  EXPECT_FALSE(TextEqual("a", "A"));
  EXPECT_EQ(TextLength("\xD6\xD0x"), 3);
}

}  // namespace
}  // namespace tarnwick
