#include "app/resolve_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/control_names.h"
#include "app/fake_window.h"
#include "app/resolve_service_host.h"
#include "text/bytes.h"
#include "web/recording_request_object.h"

namespace tarnwick {
namespace {

using ::testing::ElementsAre;
using testing::FakeWindow;
using ::testing::IsEmpty;
using testing::RecordingRequestObject;
using testing::ScopedRecordingCreator;

const std::string kHost = kResolveServiceHost;
const std::string k58picUrl = "http://" + kHost + "/58pic/58pic.php";
const std::string k588kuUrl = "http://" + kHost + "/588ku/588ku.php";
const std::string k17sucaiUrl = "http://" + kHost + "/17sucai/17sucai.php";

// One request as the request object saw it: "POST <url>" and its body.
using Request = std::pair<std::string, std::string>;

std::vector<Request> RequestsIn(const std::vector<std::string>& calls) {
  std::vector<Request> requests;
  for (const std::string& call : calls) {
    if (call.starts_with("Open ")) {
      requests.emplace_back(call.substr(5, call.size() - 5 - 6), "");
    } else if (call.starts_with("Send text ") && !requests.empty()) {
      requests.back().second = call.substr(10);
    }
  }
  return requests;
}

struct Case {
  const char* name;
  Text link;
  std::vector<std::string_view> checked;
  // The reply of every request; nullopt: no request object can be made.
  std::optional<std::string> reply;
  std::int32_t status;
  std::vector<Request> requests;
  // What 编辑框2 is set to, once per request.
  std::vector<Text> writes;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ResolveLinkTest : public ::testing::TestWithParam<Case> {};

TEST_P(ResolveLinkTest, SendsTheLinkAndShowsTheReply) {
  const Case& c = GetParam();
  const ScopedRecordingCreator creator;
  if (c.reply) {
    ScopedRecordingCreator::current =
        std::make_shared<RecordingRequestObject>();
    ScopedRecordingCreator::current->responseBody = Bytes::FromString(*c.reply);
    ScopedRecordingCreator::current->status = c.status;
  }
  FakeWindow window;
  window.texts.emplace(kEditBox1, c.link);
  window.texts.emplace(kEditBox2, "examples");
  for (std::string_view radioButton : c.checked)
    window.checked.emplace(radioButton);

  ResolveLink(window);

  if (c.reply) {
    EXPECT_EQ(RequestsIn(ScopedRecordingCreator::current->calls), c.requests);
  }
  std::vector<std::pair<std::string, Text>> writes;
  for (const Text& text : c.writes) writes.emplace_back(kEditBox2, text);
  EXPECT_EQ(window.writes, writes);
  EXPECT_THAT(window.messageBoxes, IsEmpty());
  EXPECT_THAT(window.exitCodes, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveLinkTest,
    ::testing::Values(
        Case{"first site",
             "https://www.58pic.com/newpic/35186413.html",
             {kRadioButton1},
             "ok",
             200,
             {{"POST " + k58picUrl,
               "url=https://www.58pic.com/newpic/35186413.html"}},
             {"ok"}},
        Case{"second site",
             "a",
             {kRadioButton2},
             "ok",
             200,
             {{"POST " + k588kuUrl, "url=a"}},
             {"ok"}},
        Case{"third site",
             "a",
             {kRadioButton3},
             "ok",
             200,
             {{"POST " + k17sucaiUrl, "url=a"}},
             {"ok"}},
        Case{"blanks are a link",
             "  \xA1\xA1",
             {kRadioButton1},
             "",
             200,
             {{"POST " + k58picUrl, "url=  \xA1\xA1"}},
             {""}},
        Case{"link sent unescaped",
             "a&b=c%20d+e\xC7\xA7",
             {kRadioButton1},
             "ok",
             200,
             {{"POST " + k58picUrl, "url=a&b=c%20d+e\xC7\xA7"}},
             {"ok"}},
        Case{"every checked row requests and writes",
             "a",
             {kRadioButton3, kRadioButton1},
             "ok",
             200,
             {{"POST " + k58picUrl, "url=a"}, {"POST " + k17sucaiUrl, "url=a"}},
             {"ok", "ok"}},
        Case{"no checked row does nothing", "a", {}, "ok", 200, {}, {}},
        Case{"failed exchange empties the output",
             "a",
             {kRadioButton1},
             std::nullopt,
             0,
             {},
             {""}},
        Case{"error status body is shown",
             "a",
             {kRadioButton2},
             "Not Found",
             404,
             {{"POST " + k588kuUrl, "url=a"}},
             {"Not Found"}},
        Case{"reply cut at its first zero byte",
             "a",
             {kRadioButton1},
             std::string("before\0after", 12),
             200,
             {{"POST " + k58picUrl, "url=a"}},
             {"before"}},
        Case{"UTF-8 reply shown in code page 936",
             "a",
             {kRadioButton1},
             "\xE5\x8D\x83\xE5\x9B\xBE\xE7\xBD\x91\r\nhttp://x",
             200,
             {{"POST " + k58picUrl, "url=a"}},
             {"\xC7\xA7\xCD\xBC\xCD\xF8\r\nhttp://x"}}),
    [](const ::testing::TestParamInfo<Case>& info) {
      std::string name;
      for (const char* p = info.param.name; *p != '\0'; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      }
      return name;
    });

TEST(ResolveLinkExchangeTest, PostsTheFormWithDefaultHeadersOnly) {
  const ScopedRecordingCreator creator;
  ScopedRecordingCreator::current = std::make_shared<RecordingRequestObject>();
  FakeWindow window;
  window.texts.emplace(kEditBox1, "x");
  window.checked.emplace(kRadioButton1);

  ResolveLink(window);

  EXPECT_THAT(ScopedRecordingCreator::progIds, ElementsAre(kHttpRequestProgId));
  const std::vector<std::string>& calls =
      ScopedRecordingCreator::current->calls;
  EXPECT_THAT(calls,
              ::testing::Contains("SetTimeouts 15000 15000 15000 15000"));
  EXPECT_THAT(calls, ::testing::Contains("Open POST " + k58picUrl + " false"));
  EXPECT_THAT(
      calls,
      ::testing::Contains(
          "SetRequestHeader Content-Type: application/x-www-form-urlencoded"));
  EXPECT_THAT(calls,
              ::testing::Contains("SetRequestHeader Referer: " + k58picUrl));
  for (const std::string& call : calls) {
    EXPECT_FALSE(call.starts_with("SetProxy")) << call;
    EXPECT_FALSE(call.starts_with("SetRequestHeader Cookie")) << call;
    EXPECT_FALSE(call.starts_with("Send bytes")) << call;
  }
}

TEST(ResolveLinkEmptyTest, EmptyLinkShowsTheMessageAndEndsTheProcess) {
  const ScopedRecordingCreator creator;
  ScopedRecordingCreator::current = std::make_shared<RecordingRequestObject>();
  FakeWindow window;
  window.checked.emplace(kRadioButton1);  // 编辑框1 holds nothing

  ResolveLink(window);

  ASSERT_EQ(window.messageBoxes.size(), 1u);
  // "输入链接为空，请重试" titled "信息："
  EXPECT_EQ(
      window.messageBoxes[0].text,
      Text("\xCA\xE4\xC8\xEB\xC1\xB4\xBD\xD3\xCE\xAA\xBF\xD5\xA3\xAC\xC7\xEB"
           "\xD6\xD8\xCA\xD4"));
  EXPECT_EQ(window.messageBoxes[0].title, Text("\xD0\xC5\xCF\xA2\xA3\xBA"));
  EXPECT_THAT(window.exitCodes, ElementsAre(0));
  // The process ends after the message and nothing runs after it.
  EXPECT_THAT(window.operations,
              ElementsAre("GetControlText " + std::string(kEditBox1),
                          "ShowMessageBox", "EndProcess"));
  EXPECT_THAT(ScopedRecordingCreator::progIds, IsEmpty());
}

}  // namespace
}  // namespace tarnwick
