#include "app/windows/wide_text.h"

#include <gtest/gtest.h>

#include <string>

#include "text_printers.h"

namespace tarnwick {
namespace {

TEST(WideTextTest, ConvertsWithCodePage936BothWays) {
  struct Case {
    const char* name;
    Text text;
    std::wstring wide;
  };
  const Case cases[] = {
      {"empty", "", L""},
      {"ASCII", "Tarnwick v1.0   by Ormelin@Kestrova", L"Tarnwick v1.0   by Ormelin@Kestrova"},
      {"Chinese and CR LF", "17\xCB\xD8\xB2\xC4\xCD\xF8\xA3\xBA\r\nx",
       L"17\u7D20\u6750\u7F51\uFF1A\r\nx"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToWideString(c.text), c.wide) << c.name;
    EXPECT_EQ(WideStringToText(c.wide), c.text) << c.name;
  }
}

TEST(WideTextTest, WideStringEndsAtItsFirstZeroAndUnmappedBecomesQuestionMark) {
  EXPECT_EQ(WideStringToText(std::wstring(L"ab\0cd", 5)), Text("ab"));
  EXPECT_EQ(WideStringToText(L"a\u0E01b"), Text("a?b"));
}

}  // namespace
}  // namespace tarnwick
