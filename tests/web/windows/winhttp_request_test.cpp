// The platform's HTTP request object against scripted loopback servers (run
// on the Linux side by loopback_broker.py).
#include "web/windows/winhttp_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/component_library.h"
#include "text/bytes.h"
#include "text/text.h"
#include "text_printers.h"
#include "web/cookie_merge.h"
#include "web/http_request_object.h"
#include "web/servers/loopback_server.h"
#include "web/web_request.h"
#include "windows/under_wine.h"

namespace tarnwick {
namespace {

using namespace std::literals;
using loopback::ClosedPort;
using loopback::LoopbackServer;
using loopback::ServerPlan;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using Clock = std::chrono::steady_clock;

constexpr auto kPromptly = 5s;

std::string Reply(std::string_view status, std::string_view headers,
                  std::string_view body) {
  return "HTTP/1.1 " + std::string(status) + "\r\n" + std::string(headers) +
         "Content-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + std::string(body);
}

// The head of a raw request (request line and header lines) and its body.
struct Request {
  std::string head;
  std::string body;
};

Request Split(const std::string& raw) {
  const std::size_t end = raw.find("\r\n\r\n");
  if (end == std::string::npos) return {raw, ""};
  return {raw.substr(0, end + 2), raw.substr(end + 4)};
}

class WinHttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::CoInitialize();
    object_ = HttpRequestObject(CreateWinHttpRequest());
    ASSERT_TRUE(object_.HoldsObject());
    // Nothing here needs the object's own 30 seconds; a fault that waits
    // shows as a failure instead of a stall.
    object_.SetTimeouts(5000, 5000, 5000, 5000);
  }
  void TearDown() override {
    object_.Release();
    platform::CoUninitialize();
  }

  void ExpectNoResponse() {
    EXPECT_TRUE(object_.ResponseBody().empty());
    EXPECT_EQ(object_.GetAllResponseHeaders(), Text());
    EXPECT_EQ(object_.Status(), 0);
  }

  HttpRequestObject object_;
};

TEST_F(WinHttpRequestTest, ResolveStylePostGoesOutAsSetAndReadsBack) {
  const std::string replyBody = "\xE8\xA7\xA3\xE6\x9E\x90\0ok"s;
  LoopbackServer server(ServerPlan::Answer(
      Reply("200 OK", "Content-Type: text/html; charset=utf-8\r\n"
                      "Set-Cookie: sid=1; path=/\r\nX-Empty:\r\n",
            replyBody)));
  ASSERT_NE(server.port(), 0);
  const std::string url = server.Url("/58pic/58pic.php");

  // Given before Open, which the object itself refuses.
  object_.SetRequestHeader("X-Early", "1");
  object_.Open("POST", url, false);
  object_.SetOption(kOptionSslErrorIgnoreFlags, 0x3300);
  object_.SetRequestHeader("Accept", "*/*");
  object_.SetRequestHeader("Referer", url);
  object_.SetRequestHeader("Content-Type", "application/x-www-form-urlencoded");
  // "url=" and a link with Chinese characters (code page 936).
  object_.Send(Text("url=https://x/\xC7\xA7\xCD\xBC?a=1&b=%20"));

  EXPECT_EQ(object_.ResponseBody(), Bytes::FromString(replyBody));
  const Text headers = object_.GetAllResponseHeaders();
  EXPECT_THAT(headers.str(), StartsWith("Content-Type: text/html; charset=utf-8\r\n"));
  EXPECT_THAT(headers.str(), HasSubstr("\r\nSet-Cookie: sid=1; path=/\r\n"));
  EXPECT_THAT(headers.str(), Not(HasSubstr("HTTP/1.1")));
  EXPECT_NE(headers.view().back(), '\n');
  EXPECT_EQ(object_.Status(), 200);

  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  const Request request = Split(requests[0]);
  EXPECT_THAT(request.head, StartsWith("POST /58pic/58pic.php HTTP/1.1\r\n"));
  for (const char* line : {"\r\nX-Early: 1\r\n", "\r\nAccept: */*\r\n",
                           "\r\nContent-Type: application/x-www-form-urlencoded"}) {
    EXPECT_THAT(request.head, HasSubstr(line));
  }
  EXPECT_THAT(request.head, HasSubstr("\r\nReferer: " + url + "\r\n"));
  // A text with characters beyond ASCII goes as UTF-8.
  EXPECT_EQ(request.body, "url=https://x/\xE5\x8D\x83\xE5\x9B\xBE?a=1&b=%20");
}

TEST_F(WinHttpRequestTest, ByteBodyGoesAsItIs) {
  const std::string bytes("\0\x01\xFF\x80 z\r\n"s);
  LoopbackServer server(ServerPlan::Answer(Reply("201 Created", "", "")));
  object_.Open("PUT", server.Url("/put"), false);
  object_.Send(Bytes::FromString(bytes));
  EXPECT_EQ(object_.Status(), 201);
  EXPECT_TRUE(object_.ResponseBody().empty());

  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_THAT(requests[0], StartsWith("PUT /put HTTP/1.1\r\n"));
  EXPECT_EQ(Split(requests[0]).body, bytes);
}

TEST_F(WinHttpRequestTest, ErrorStatusGivesItsBody) {
  LoopbackServer server(ServerPlan::Answer(Reply("404 Not Found", "", "missing")));
  object_.Open("GET", server.Url("/x"), false);
  object_.Send(Text());
  EXPECT_EQ(object_.Status(), 404);
  EXPECT_EQ(object_.ResponseBody(), Bytes::FromString("missing"));
}

TEST_F(WinHttpRequestTest, FailedExchangeReadsEmptyAndForgetsTheLastResponse) {
  LoopbackServer server(ServerPlan::Answer(Reply("200 OK", "", "first")));
  object_.Open("GET", server.Url("/"), false);
  object_.Send(Text());
  ASSERT_EQ(object_.Status(), 200);

  object_.Open("GET", "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/", false);
  object_.Send(Text());
  ExpectNoResponse();
}

TEST_F(WinHttpRequestTest, ReadsBeforeAnySendOrAfterABadOpenAreEmpty) {
  ExpectNoResponse();
  object_.Open("GET", "not a url", false);
  object_.Send(Text("x"));
  ExpectNoResponse();
}

TEST_F(WinHttpRequestTest, ConnectionLostInTheBodyReadsEmpty) {
  ServerPlan plan;
  plan.Connection().Request().Send(
      "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789").Sleep(200).Reset();
  LoopbackServer server(plan);
  object_.Open("GET", server.Url("/"), false);
  object_.Send(Text());
  ExpectNoResponse();
}

TEST_F(WinHttpRequestTest, TimeoutsGivenBeforeOpenBoundTheExchange) {
  if (testing::UnderWine()) {
    GTEST_SKIP() << "Wine's request object does not end an exchange whose server "
                    "stops answering within the timeouts; it waits until the "
                    "server closes the connection";
  }
  ServerPlan plan;
  plan.Connection().Request().Hold();
  LoopbackServer server(plan);
  object_.SetTimeouts(1000, 1000, 1000, 1000);
  object_.Open("GET", server.Url("/"), false);
  const Clock::time_point start = Clock::now();
  object_.Send(Text());
  EXPECT_LT(Clock::now() - start, kPromptly);
  ExpectNoResponse();
}

TEST_F(WinHttpRequestTest, ProxyGetsTheRequestWithTheCredentialSetBeforeOpen) {
  if (testing::UnderWine()) {
    GTEST_SKIP() << "Wine's request object ignores SetProxy (it does not implement "
                    "WINHTTP_OPTION_PROXY) and takes its proxy from http_proxy only";
  }
  LoopbackServer proxy(ServerPlan::Answer(Reply("200 OK", "", "via proxy")));
  object_.SetProxy(kProxySettingProxy, "127.0.0.1:" + std::to_string(proxy.port()));
  object_.SetRequestHeader("Proxy-Authorization", "Basic dTpw");
  object_.Open("GET", "http://tarnwick.invalid/path?q=1", false);
  object_.Send(Text());
  EXPECT_EQ(object_.ResponseBody(), Bytes::FromString("via proxy"));

  const std::vector<std::string> requests = proxy.Finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_THAT(requests[0], StartsWith("GET http://tarnwick.invalid/path?q=1 HTTP/1.1\r\n"));
  EXPECT_THAT(requests[0], HasSubstr("\r\nProxy-Authorization: Basic dTpw\r\n"));
}

struct RedirectCase {
  const char* name;
  const char* method;
  bool followed;
};

class RedirectTest : public WinHttpRequestTest,
                     public ::testing::WithParamInterface<RedirectCase> {};

TEST_P(RedirectTest, FollowsOrStopsAsTold) {
  const RedirectCase& c = GetParam();
  if (std::string_view(c.method) == "POST" && c.followed && testing::UnderWine()) {
    GTEST_SKIP() << "Wine's request object does not follow a redirect of a POST "
                    "correctly";
  }
  ServerPlan plan;
  plan.Connection().Request().Send(Reply(
      "302 Found", "Location: http://127.0.0.1:@PORT@/there\r\n", "moved"));
  if (c.followed) plan.Connection().Request().Send(Reply("200 OK", "", "arrived"));
  LoopbackServer server(plan);

  object_.Open(c.method, server.Url("/here"), false);
  if (!c.followed) object_.SetOption(kOptionEnableRedirects, 0);
  object_.Send(Text("a=1"));

  const std::vector<std::string> requests = server.Finish();
  if (c.followed) {
    EXPECT_EQ(object_.Status(), 200);
    EXPECT_EQ(object_.ResponseBody(), Bytes::FromString("arrived"));
    ASSERT_EQ(requests.size(), 2u);
    // 302 turns a POST into a GET.
    EXPECT_THAT(requests[1], StartsWith("GET /there HTTP/1.1\r\n"));
  } else {
    EXPECT_EQ(object_.Status(), 302);
    EXPECT_EQ(object_.ResponseBody(), Bytes::FromString("moved"));
    EXPECT_THAT(object_.GetAllResponseHeaders().str(),
                HasSubstr("Location: http://127.0.0.1:" + std::to_string(server.port()) +
                          "/there"));
    EXPECT_EQ(requests.size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RedirectTest,
    ::testing::Values(RedirectCase{"GETfollowed", "GET", true},
                      RedirectCase{"GETstopped", "GET", false},
                      RedirectCase{"POSTfollowed", "POST", true},
                      RedirectCase{"POSTstopped", "POST", false}),
    [](const ::testing::TestParamInfo<RedirectCase>& info) { return info.param.name; });

TEST_F(WinHttpRequestTest, SelfSignedServerIsReachedWhenCertificateErrorsAreIgnored) {
  if (testing::UnderWine()) {
    GTEST_SKIP() << "Wine's request object does not implement option 4 (the "
                    "certificate errors to ignore)";
  }
  LoopbackServer server(ServerPlan::Answer(Reply("200 OK", "", "secret")), true);
  object_.Open("GET", server.Url("/"), false);
  object_.SetOption(kOptionSslErrorIgnoreFlags, 0x3300);
  object_.Send(Text());
  EXPECT_EQ(object_.ResponseBody(), Bytes::FromString("secret"));
}

TEST(WinHttpRequestCreationTest, NeedsTheComponentLibraryOnTheCallingThread) {
  bool created = true;
  std::thread([&created] { created = CreateWinHttpRequest() != nullptr; }).join();
  EXPECT_FALSE(created);

  std::thread([&created] {
    platform::CoInitialize();
    created = CreateWinHttpRequest() != nullptr;
    platform::CoUninitialize();
  }).join();
  EXPECT_TRUE(created);
}

// WebRequest over the platform's object, as the resolve command uses it.
TEST(WebRequestOverWinHttpTest, ExchangesAndCollectsCookies) {
  LoopbackServer server(ServerPlan::Answer(
      Reply("200 OK", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n", "reply")));
  Text cookies = "a=0; c=3";
  Text returnedCookies;
  Text returnedHeaders;
  std::int32_t status = 0;
  const Bytes body = WebRequest(server.Url("/17sucai/17sucai.php"),
                                {.method = kMethodPost,
                                 .postText = "url=x",
                                 .cookies = &cookies,
                                 .returnedCookies = &returnedCookies,
                                 .returnedHeaders = &returnedHeaders,
                                 .statusCode = &status});
  EXPECT_EQ(body, Bytes::FromString("reply"));
  EXPECT_EQ(status, 200);
  EXPECT_THAT(returnedHeaders.str(), StartsWith("Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n"));
  Text given = "a=0; c=3";
  EXPECT_EQ(cookies, MergeCookies(given, "a=1; b=2"));
  EXPECT_EQ(returnedCookies, cookies);

  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  const Request request = Split(requests[0]);
  EXPECT_THAT(request.head, StartsWith("POST /17sucai/17sucai.php HTTP/1.1\r\n"));
  EXPECT_THAT(request.head, HasSubstr("\r\nCookie: a=0; c=3\r\n"));
  EXPECT_THAT(request.head, HasSubstr("\r\nAccept-Language: zh-cn\r\n"));
  EXPECT_EQ(request.body, "url=x");
}

TEST(WebRequestOverWinHttpTest, UnreachableServiceGivesNothing) {
  Text returnedHeaders = "old";
  std::int32_t status = 7;
  const Bytes body = WebRequest(
      "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/58pic/58pic.php",
      {.method = kMethodPost, .postText = "url=x", .returnedHeaders = &returnedHeaders,
       .statusCode = &status, .timeoutSeconds = 5});
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(returnedHeaders, Text());
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace tarnwick
