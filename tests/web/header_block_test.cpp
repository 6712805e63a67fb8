#include "web/header_block.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "text_printers.h"
#include "web/recording_request_object.h"

namespace tarnwick {
namespace {

using ::testing::ElementsAre;
using testing::RecordingRequestObject;

constexpr char kUrl[] = "http://h/p";
constexpr char kUserAgent[] =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

Text Completed(const char* block, std::int32_t method) {
  Text t(block);
  CompleteHeaderBlock(t, kUrl, method);
  return t;
}

TEST(CompleteHeaderBlockTest, Defaults) {
  const std::string defaults = std::string("Accept: */*\r\nReferer: ") + kUrl +
                               "\r\nAccept-Language: zh-cn\r\n" + kUserAgent;
  EXPECT_EQ(Completed("", 0).str(), defaults);
  EXPECT_EQ(Completed("", 1).str(),
            defaults + "\r\nContent-Type: application/x-www-form-urlencoded");
  EXPECT_EQ(Completed("", 3).str(), defaults);
}

TEST(CompleteHeaderBlockTest, MarkersAreCaseSensitiveAndFoundAnywhere) {
  const std::string tail = std::string("\r\nReferer: ") + kUrl +
                           "\r\nAccept-Language: zh-cn\r\n" + kUserAgent;
  const std::string form = "\r\nContent-Type: application/x-www-form-urlencoded";
  const struct {
    const char* block;
    std::int32_t method;
    std::string expected;
  } cases[] = {
      {"accept: text/html", 0, "accept: text/html\r\nAccept: */*" + tail},
      {"content-type: text/plain", 1,
       "Content-Type: text/plain\r\nAccept: */*" + tail},
      {"Content-type: text/plain", 1,
       "Content-type: text/plain\r\nAccept: */*" + tail + form},
      {"Content-Type: application/json", 1,
       "Content-Type: application/json\r\nAccept: */*" + tail},
      {"content-type: a", 0, "content-type: a\r\nAccept: */*" + tail},
      {"Accept: a Referer: b Accept-Language: c User-Agent: d", 0,
       "Accept: a Referer: b Accept-Language: c User-Agent: d"},
      {"X: 1\r\n", 0, "X: 1\r\n\r\nAccept: */*" + tail},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Completed(c.block, c.method).str(), c.expected) << c.block;
  }
}

class ApplyHeaderBlockTest : public ::testing::Test {
 protected:
  std::vector<std::string> Apply(const char* block, const Text* cookies) {
    auto recorder = std::make_shared<RecordingRequestObject>();
    HttpRequestObject object(recorder);
    ApplyHeaderBlock(object, block, cookies ? *cookies : Text(),
                     cookies != nullptr);
    return recorder->calls;
  }
};

TEST_F(ApplyHeaderBlockTest, CookieFirstThenNonEmptyLines) {
  const Text empty;
  EXPECT_THAT(Apply("A: 1\r\n\r\nB:2:3\r\n", &empty),
              ElementsAre("SetRequestHeader Cookie: ",
                          "SetRequestHeader A: 1", "SetRequestHeader B: 2:3"));
  const Text cookies("a=1; b=2");
  EXPECT_THAT(Apply("\r\nCookie: c=3", &cookies),
              ElementsAre("SetRequestHeader Cookie: a=1; b=2",
                          "SetRequestHeader Cookie: c=3"));
}

TEST_F(ApplyHeaderBlockTest, SingleLineAndLinesWithoutColon) {
  EXPECT_THAT(Apply("Accept: a Referer: b", nullptr),
              ElementsAre("SetRequestHeader Accept: a Referer: b"));
  EXPECT_THAT(Apply("no colon\r\nX:\ty ", nullptr),
              ElementsAre("SetRequestHeader : ", "SetRequestHeader X: \ty"));
}

TEST(HeaderNameValueTest, SplitAtTheFirstColonAndTrimBlanksOnly) {
  EXPECT_EQ(HeaderName("X-Note: a:b"), Text("X-Note"));
  EXPECT_EQ(HeaderValue("X-Note: a:b"), Text("a:b"));
  EXPECT_EQ(HeaderName(" \xA1\xA1Name \xA1\xA1: v"), Text("Name"));
  EXPECT_EQ(HeaderValue("N:\tv "), Text("\tv"));
  EXPECT_EQ(HeaderName("none"), Text());
  EXPECT_EQ(HeaderValue("none"), Text());
  EXPECT_EQ(HeaderValue("N:"), Text());
}

}  // namespace
}  // namespace tarnwick
