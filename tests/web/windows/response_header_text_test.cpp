#include "web/windows/response_header_text.h"

#include <gtest/gtest.h>

#include "text_printers.h"

namespace tarnwick {
namespace {

TEST(ResponseHeaderTextTest, KeepsTheHeaderLinesOnly) {
  struct Case {
    const char* name;
    Text raw;
    Text expected;
  };
  const Case cases[] = {
      {"status line and empty line at the end",
       "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nSet-Cookie: a=1\r\n\r\n",
       "Content-Type: text/plain\r\nSet-Cookie: a=1"},
      {"without status line", "Server: x\r\nA: b\r\n\r\n", "Server: x\r\nA: b"},
      {"already in form", "Server: x\r\nA: b", "Server: x\r\nA: b"},
      {"inner empty and odd lines kept", "A: 1\r\n\r\nB\r\nC:  3 \r\n",
       "A: 1\r\n\r\nB\r\nC:  3 "},
      {"status line only", "HTTP/1.1 204 No Content\r\n\r\n", ""},
      {"status line without line end", "HTTP/1.0 200 OK", ""},
      {"bare line ends at the end", "A: 1\n\r\r\n", "A: 1"},
      {"code page 936 value", "X: \xC7\xA7\r\n", "X: \xC7\xA7"},
      {"a header named like a status line is not one", "A: 1\r\nHTTP/1.1 200\r\n",
       "A: 1\r\nHTTP/1.1 200"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResponseHeaderText(c.raw), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace tarnwick
