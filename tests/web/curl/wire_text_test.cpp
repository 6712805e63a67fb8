#include "web/curl/wire_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "text/text.h"

namespace tarnwick {
namespace {

using namespace std::literals;

TEST(EncodeUrlForWireTest, EncodesWhatFollowsTheHostAsUtf8) {
  struct Case {
    const char* url;  // code page 936
    const char* wire;
  };
  const Case cases[] = {
      {"http://h/a/b?c=d#e", "http://h/a/b?c=d#e"},
      {"http://h/\xD6\xD0?q=\xCE\xC4", "http://h/%E4%B8%AD?q=%E6%96%87"},
      {"http://h/a b\t\x7F%20", "http://h/a%20b%09%7F%20"},
      {"http://h:81?q= ", "http://h:81?q=%20"},
      {"http://\xD6\xD0.example/\xD6\xD0",
       "http://\xE4\xB8\xAD.example/%E4%B8%AD"},
      {"http://h", "http://h"},
      {"no scheme \xD6\xD0", "no%20scheme%20%E4%B8%AD"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(EncodeUrlForWire(Text(c.url)), c.wire);
  }
}

TEST(Cp936ToUtf8Test, ConvertsChineseAndKeepsAscii) {
  EXPECT_EQ(Cp936ToUtf8(Text("a\xD6\xD0"
                             "b")),
            "a\xE4\xB8\xAD"
            "b");
  EXPECT_EQ(Cp936ToUtf8(Text()), "");
}

TEST(IsValidUtf8Test, AcceptsWellFormedOnly) {
  struct Case {
    std::string_view bytes;
    bool valid;
  };
  const Case cases[] = {
      {"", true},
      {"ascii\0with zero"sv, true},
      {"\xC2\x80", true},
      {"\xE4\xB8\xAD", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},
      {"\xC0\xAF", false},          // overlong
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE4\xB8", false},          // cut short
      {"\x80", false},              // lone continuation
      {"caf\xE9", false},           // Latin-1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.bytes)));
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
  }
}

TEST(HeaderBytesToTextTest, ReadsUtf8ElseLatin1) {
  EXPECT_EQ(HeaderBytesToText("X: \xE4\xB8\xAD"), Text("X: \xD6\xD0"));
  // Not UTF-8 as a whole: every byte is a Latin-1 character, even the ones
  // that would have formed UTF-8.
  EXPECT_EQ(HeaderBytesToText("caf\xE9 \xE4\xB8\xAD"), Text("caf\xA8\xA6 ???"));
  // Each line on its own.
  EXPECT_EQ(
      HeaderBytesToText("A: \xE4\xB8\xAD\r\nB: caf\xE9\r\nC: \xE4\xB8\xAD"),
      Text("A: \xD6\xD0\r\nB: caf\xA8\xA6\r\nC: \xD6\xD0"));
  EXPECT_EQ(HeaderBytesToText("plain"), Text("plain"));
  EXPECT_EQ(HeaderBytesToText(""), Text());
}

}  // namespace
}  // namespace tarnwick
