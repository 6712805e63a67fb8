#include "web/web_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "text_printers.h"
#include "web/recording_request_object.h"

namespace tarnwick {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::RecordingRequestObject;
using testing::ScopedRecordingCreator;

constexpr char kUrl[] = "http://service.test/p";
constexpr char kUserAgent[] =
    "SetRequestHeader User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows "
    "NT 6.1)";

class WebRequestTest : public ::testing::Test {
 protected:
  WebRequestTest() {
    ScopedRecordingCreator::current = recorder_;
  }

  const std::vector<std::string>& Calls() const { return recorder_->calls; }

  // The calls up to (not including) Open.
  std::vector<std::string> CallsBeforeOpen() const {
    std::vector<std::string> before;
    for (const std::string& call : Calls()) {
      if (call.rfind("Open ", 0) == 0) break;
      before.push_back(call);
    }
    return before;
  }

  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const std::string& call : Calls()) {
      if (call.rfind(prefix, 0) == 0) matching.push_back(call);
    }
    return matching;
  }

  ScopedRecordingCreator creator_;
  std::shared_ptr<RecordingRequestObject> recorder_ =
      std::make_shared<RecordingRequestObject>();
};

TEST_F(WebRequestTest, ResolveStylePostMakesTheWholeSequence) {
  recorder_->responseBody = Bytes::FromString("reply");
  recorder_->status = 200;
  const Bytes body = WebRequest(kUrl, {.method = kMethodPost, .postText = "url=x"});
  EXPECT_EQ(body, Bytes::FromString("reply"));
  EXPECT_THAT(ScopedRecordingCreator::progIds,
              ElementsAre("WinHttp.WinHttpRequest.5.1"));
  EXPECT_THAT(
      Calls(),
      ElementsAre("SetTimeouts 15000 15000 15000 15000",
                  std::string("Open POST ") + kUrl + " false", "Option 4 13056",
                  "SetRequestHeader Accept: */*",
                  std::string("SetRequestHeader Referer: ") + kUrl,
                  "SetRequestHeader Accept-Language: zh-cn", kUserAgent,
                  "SetRequestHeader Content-Type: "
                  "application/x-www-form-urlencoded",
                  "Send text url=x", "ResponseBody", "GetAllResponseHeaders",
                  "Status"));
}

TEST_F(WebRequestTest, MethodsOutsideTheTableAreGet) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {-1, "GET"}, {8, "GET"}, {2, "HEAD"}, {6, "TRACE"}, {7, "CONNECT"}};
  for (const auto& [method, name] : cases) {
    recorder_->calls.clear();
    WebRequest(kUrl, {.method = method});
    EXPECT_THAT(CallsStartingWith("Open "),
                ElementsAre(std::string("Open ") + name + " " + kUrl + " false"));
  }
}

TEST_F(WebRequestTest, Timeouts) {
  const std::pair<std::int32_t, std::vector<std::string>> cases[] = {
      {0, {"SetTimeouts 15000 15000 15000 15000"}},
      {-5, {"SetTimeouts 15000 15000 15000 15000"}},
      {5, {"SetTimeouts 5000 5000 5000 5000"}},
      {-1, {}},
      {3000000, {"SetTimeouts 2147483647 2147483647 2147483647 2147483647"}},
  };
  for (const auto& [seconds, expected] : cases) {
    recorder_->calls.clear();
    WebRequest(kUrl, {.timeoutSeconds = seconds});
    EXPECT_THAT(CallsStartingWith("SetTimeouts"), ElementsAreArray(expected))
        << seconds;
  }
}

TEST_F(WebRequestTest, ProxyAndItsAuthorisationComeBeforeOpen) {
  struct Case {
    WebRequestOptions options;
    std::vector<std::string> expected;
  };
  const std::string auth =
      "SetRequestHeader Proxy-Authorization: Basic dXNlcjpwdw==";
  Case cases[] = {
      {{.proxyAddress = "127.0.0.1:3128", .timeoutSeconds = -1,
        .proxyUser = "user", .proxyPassword = "pw"},
       {"SetProxy 2 127.0.0.1:3128", auth}},
      {{.proxyAddress = "p:1", .timeoutSeconds = -1, .proxyUser = "user",
        .proxyPassword = "pw", .proxyAuthKind = 1},
       {"SetProxy 2 p:1", auth}},
      {{.proxyAddress = "p:1", .timeoutSeconds = -1, .proxyUser = "user",
        .proxyPassword = "pw", .proxyAuthKind = 0},
       {"SetProxy 2 p:1"}},
      {{.proxyAddress = "p:1", .timeoutSeconds = -1, .proxyUser = "u"},
       {"SetProxy 2 p:1", "SetRequestHeader Proxy-Authorization: Basic dTo="}},
      {{.proxyAddress = "p:1", .timeoutSeconds = -1, .proxyPassword = "pw"},
       {"SetProxy 2 p:1"}},
      {{.timeoutSeconds = -1, .proxyUser = "user", .proxyPassword = "pw"}, {}},
  };
  for (const Case& c : cases) {
    recorder_->calls.clear();
    WebRequest(kUrl, c.options);
    EXPECT_THAT(CallsBeforeOpen(), ElementsAreArray(c.expected));
  }
}

TEST_F(WebRequestTest, OptionsAndBody) {
  WebRequest(kUrl, {.noRedirect = true});
  EXPECT_THAT(CallsStartingWith("Option"), ElementsAre("Option 6 0", "Option 4 13056"));
  recorder_->calls.clear();
  WebRequest(kUrl, {.postText = "text", .postBytes = Bytes::FromString("raw")});
  EXPECT_THAT(CallsStartingWith("Send"), ElementsAre("Send bytes raw"));
  recorder_->calls.clear();
  WebRequest(kUrl, {.postText = "text", .postBytes = Bytes()});
  EXPECT_THAT(CallsStartingWith("Send"), ElementsAre("Send text text"));
  recorder_->calls.clear();
  WebRequest(kUrl);
  EXPECT_THAT(CallsStartingWith("Send"), ElementsAre("Send text "));
}

TEST_F(WebRequestTest, OutputsAndCallerHeaderBlock) {
  recorder_->responseHeaders = "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2";
  recorder_->status = 302;
  Text headers("X-A: 1");
  Text returnedHeaders("old");
  Text returnedCookies("old");
  std::int32_t status = -7;
  WebRequest(kUrl, {.returnedCookies = &returnedCookies,
                    .extraHeaders = &headers,
                    .returnedHeaders = &returnedHeaders,
                    .statusCode = &status});
  EXPECT_EQ(headers.str(),
            std::string("X-A: 1\r\nAccept: */*\r\nReferer: ") + kUrl +
                "\r\nAccept-Language: zh-cn\r\nUser-Agent: Mozilla/4.0 "
                "(compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(returnedHeaders, recorder_->responseHeaders);
  EXPECT_EQ(returnedCookies, Text("a=1; b=2"));
  EXPECT_EQ(status, 302);
}

TEST_F(WebRequestTest, CookiesGivenNotGivenAndMerged) {
  recorder_->responseHeaders = "Set-Cookie: b=3";

  Text returned("stale");
  WebRequest(kUrl, {.returnedCookies = &returned, .autoMergeCookies = true});
  EXPECT_THAT(CallsStartingWith("SetRequestHeader Cookie"), IsEmpty());
  EXPECT_EQ(returned, Text("b=3"));

  recorder_->calls.clear();
  Text cookies("a=1; b=2");
  WebRequest(kUrl, {.cookies = &cookies, .returnedCookies = &returned});
  EXPECT_THAT(CallsStartingWith("SetRequestHeader Cookie"),
              ElementsAre("SetRequestHeader Cookie: a=1; b=2"));
  EXPECT_EQ(returned, Text("b=3; a=1"));
  EXPECT_EQ(cookies, Text("b=3; a=1"));

  recorder_->calls.clear();
  Text empty;
  WebRequest(kUrl, {.cookies = &empty, .returnedCookies = &returned});
  EXPECT_THAT(CallsStartingWith("SetRequestHeader Cookie"),
              ElementsAre("SetRequestHeader Cookie: "));
  EXPECT_EQ(empty, Text("b=3"));

  Text unmerged("a=1");
  WebRequest(kUrl, {.cookies = &unmerged, .returnedCookies = &returned,
                    .autoMergeCookies = false});
  EXPECT_EQ(unmerged, Text("a=1"));
  EXPECT_EQ(returned, Text("b=3"));
}

TEST_F(WebRequestTest, FailedCreationLeavesEveryOutputUntouched) {
  ScopedRecordingCreator::current.reset();
  Text cookies("c=1");
  Text returnedCookies("rc");
  Text headers("H: 1");
  Text returnedHeaders("rh");
  std::int32_t status = 42;
  const Bytes body = WebRequest(
      kUrl, {.cookies = &cookies, .returnedCookies = &returnedCookies,
             .extraHeaders = &headers, .returnedHeaders = &returnedHeaders,
             .statusCode = &status});
  EXPECT_EQ(body, Bytes());
  EXPECT_EQ(cookies, Text("c=1"));
  EXPECT_EQ(returnedCookies, Text("rc"));
  EXPECT_EQ(headers, Text("H: 1"));
  EXPECT_EQ(returnedHeaders, Text("rh"));
  EXPECT_EQ(status, 42);
}

TEST_F(WebRequestTest, GivenObjectIsUsedAndStaysTheCallers) {
  auto own = std::make_shared<RecordingRequestObject>();
  own->status = 204;
  HttpRequestObject mine(own);
  std::int32_t status = 0;
  WebRequest(kUrl, {.statusCode = &status, .requestObject = mine});
  EXPECT_EQ(status, 204);
  EXPECT_THAT(ScopedRecordingCreator::progIds, IsEmpty());
  EXPECT_TRUE(mine.HoldsObject());
  EXPECT_EQ(own.use_count(), 2);

  // A given reference that holds no object: every step runs and fails quietly.
  Text returnedHeaders("rh");
  status = 9;
  EXPECT_EQ(WebRequest(kUrl, {.returnedHeaders = &returnedHeaders,
                              .statusCode = &status,
                              .requestObject = HttpRequestObject()}),
            Bytes());
  EXPECT_EQ(returnedHeaders, Text());
  EXPECT_EQ(status, 0);
}

TEST(CollectResponseCookiesTest, Cases) {
  const std::pair<const char*, const char*> cases[] = {
      {"Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2", "a=1; b=2"},
      {"set-cookie: c=3\r\nSet-Cookie:d=4", ""},
      {"Set-Cookie: \r\nSet-Cookie: a=1", "; a=1"},
      {"Content-Type: text/html", ""},
      {"Set-Cookie: x=1 Set-Cookie: y", "x=1  y"},
      {"", ""},
  };
  for (const auto& [headers, expected] : cases) {
    Text cookies("previous");
    CollectResponseCookies(headers, cookies);
    EXPECT_EQ(cookies, Text(expected)) << headers;
  }
}

}  // namespace
}  // namespace tarnwick
