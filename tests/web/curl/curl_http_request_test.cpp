#include "web/curl/curl_http_request.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/bytes.h"
#include "text/text.h"
#include "web/http_request_object.h"
#include "web/proxy_variables.h"
#include "web/servers/loopback_server.h"

namespace tarnwick {
namespace {

using namespace std::literals;
using loopback::ClosedPort;
using loopback::LoopbackServer;
using loopback::ServerPlan;
using Clock = std::chrono::steady_clock;

// A bound on how long a call may take when a timeout of a few hundred
// milliseconds has to end it: long enough for a loaded machine, far shorter
// than any default timeout.
constexpr auto kPromptly = 3s;
// How much earlier than asked a timer may fire (libcurl's timers round).
constexpr auto kTimerSlack = 20ms;

std::string OkReply(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + std::string(body);
}

std::string WithPort(std::string_view text, int port) {
  std::string result(text);
  for (std::size_t at = result.find("@PORT@"); at != std::string::npos;
       at = result.find("@PORT@", at)) {
    result.replace(at, 6, std::to_string(port));
  }
  return result;
}

struct Response {
  std::string body;
  std::string headers;
  std::int32_t status = 0;
};

Response Read(HttpRequestObject& object) {
  Response response;
  response.body = std::string(object.ResponseBody().view());
  response.headers = object.GetAllResponseHeaders().str();
  response.status = object.Status();
  return response;
}

void ExpectEmpty(const Response& response) {
  EXPECT_EQ(response.body, "");
  EXPECT_EQ(response.headers, "");
  EXPECT_EQ(response.status, 0);
}

class CurlHttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UnsetProxyVariables();
    object_ = HttpRequestObject(CreateCurlHttpRequest());
    ASSERT_TRUE(object_.HoldsObject());
    // Nothing in these tests should need the default 30 seconds; a fault
    // that waits shows as a failure instead of a stall.
    object_.SetTimeouts(0, 5000, 5000, 5000);
  }

  HttpRequestObject object_;
};

// Every exchange has a connection of its own, closed when it ends: neither
// the same object's next exchange nor a later object's takes over a kept-alive
// one. The server serves one connection at a time, so a connection left open
// would hold up the next one until the receive bound.
TEST_F(CurlHttpRequestTest, ExchangesDoNotShareConnections) {
  const auto keptAlive = [](std::string_view body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
  };
  ServerPlan plan;
  plan.Connection().Request().Send(keptAlive("first"));
  plan.Request().Send(keptAlive("reused"));
  plan.Connection().Request().Send(keptAlive("second"));
  plan.Connection().Request().Send(keptAlive("third"));
  LoopbackServer server(plan);
  const std::string url = server.Url("/x");

  const auto exchange = [&](HttpRequestObject& object) {
    object.SetTimeouts(0, 2000, 2000, 2000);
    object.Open("GET", url, false);
    object.Send(Text());
    return Read(object).body;
  };
  EXPECT_EQ(exchange(object_), "first");
  EXPECT_EQ(exchange(object_), "second");
  HttpRequestObject later(CreateCurlHttpRequest());
  EXPECT_EQ(exchange(later), "third");
}

TEST_F(CurlHttpRequestTest, ResolveStylePostGoesOutAsSetAndReadsBack) {
  const std::string replyBody = "\xE8\xA7\xA3\xE6\x9E\x90 ok";
  LoopbackServer server(ServerPlan::Answer(
      "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
      "Set-Cookie: sid=1; path=/\r\nContent-Length: " +
      std::to_string(replyBody.size()) + "\r\nConnection: close\r\n\r\n" +
      replyBody));
  const std::string url = server.Url("/58pic/58pic.php");

  object_.SetTimeouts(15000, 15000, 15000, 15000);
  object_.Open("POST", url, false);
  object_.SetOption(kOptionSslErrorIgnoreFlags, 0x3300);
  object_.SetRequestHeader("Accept", "*/*");
  object_.SetRequestHeader("Referer", url);
  object_.SetRequestHeader("Accept-Language", "zh-cn");
  object_.SetRequestHeader(
      "User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  object_.SetRequestHeader("Content-Type", "application/x-www-form-urlencoded");
  object_.Send(Text("url=https://www.58pic.com/newpic/12345.html"));

  const Response response = Read(object_);
  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            WithPort("POST /58pic/58pic.php HTTP/1.1\r\n"
                     "Host: 127.0.0.1:@PORT@\r\n"
                     "Accept: */*\r\n"
                     "Referer: http://127.0.0.1:@PORT@/58pic/58pic.php\r\n"
                     "Accept-Language: zh-cn\r\n"
                     "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows "
                     "NT 6.1)\r\n"
                     "Content-Type: application/x-www-form-urlencoded\r\n"
                     "Content-Length: 43\r\n"
                     "\r\n"
                     "url=https://www.58pic.com/newpic/12345.html",
                     server.port()));
  EXPECT_EQ(response.body, replyBody);
  EXPECT_EQ(response.headers,
            "Content-Type: text/html; charset=utf-8\r\n"
            "Set-Cookie: sid=1; path=/\r\n"
            "Content-Length: 9\r\n"
            "Connection: close");
  EXPECT_EQ(response.status, 200);
}

struct WireCase {
  const char* name;
  const char* method;
  std::string_view path;  // code page 936
  std::vector<std::pair<std::string_view, std::string_view>> headers;
  std::string_view body;
  bool bodyAsBytes;
  std::string_view reply;     // empty: OkReply("ok")
  std::string_view expected;  // the request on the wire
  std::int32_t status;
};

void PrintTo(const WireCase& c, std::ostream* os) { *os << c.name; }

class RequestOnTheWireTest : public CurlHttpRequestTest,
                             public ::testing::WithParamInterface<WireCase> {};

TEST_P(RequestOnTheWireTest, CarriesOnlyWhatWasSet) {
  const WireCase& c = GetParam();
  const std::string reply =
      c.reply.empty() ? OkReply("ok") : std::string(c.reply);
  ServerPlan plan = ServerPlan::Answer(reply);
  // A HEAD or CONNECT that waited for a body would wait for ever here.
  plan.Hold();
  LoopbackServer server(plan);

  object_.Open(c.method, Text(server.Url(c.path)), false);
  for (const auto& [name, value] : c.headers) {
    object_.SetRequestHeader(Text(name), Text(value));
  }
  const Clock::time_point start = Clock::now();
  if (c.bodyAsBytes) {
    object_.Send(Bytes::FromString(c.body));
  } else {
    object_.Send(Text(c.body));
  }
  EXPECT_LT(Clock::now() - start, kPromptly);

  EXPECT_EQ(object_.Status(), c.status);
  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], WithPort(c.expected, server.port()));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Requests, RequestOnTheWireTest,
    ::testing::Values(
        WireCase{"GetWithoutBody", "GET", "/a", {}, "", false, "",
                 "GET /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n", 200},
        WireCase{"GetWithBody", "GET", "/a", {}, "k=v", false, "",
                 "GET /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                 "Content-Length: 3\r\n\r\nk=v",
                 200},
        WireCase{"EmptyPostStillSaysLength", "POST", "/a", {}, "", false, "",
                 "POST /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                 "Content-Length: 0\r\n\r\n",
                 200},
        WireCase{"TextBodyGoesAsUtf8", "POST", "/a", {}, "\xD6\xD0\xCE\xC4",
                 false, "",
                 "POST /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                 "Content-Length: 6\r\n\r\n\xE4\xB8\xAD\xE6\x96\x87",
                 200},
        WireCase{"ByteBodyGoesAsItIs", "PUT", "/a", {},
                 "\xD6\xD0\0\xFF\r\n"sv, true, "",
                 "PUT /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                 "Content-Length: 6\r\n\r\n\xD6\xD0\0\xFF\r\n"sv,
                 200},
        WireCase{"HeadSendsNoBodyAndReadsNone", "HEAD", "/a", {}, "ignored",
                 false,
                 "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n",
                 "HEAD /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n", 200},
        WireCase{"Options", "OPTIONS", "/a", {}, "", false, "",
                 "OPTIONS /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n", 200},
        WireCase{"Delete", "DELETE", "/a", {}, "", false, "",
                 "DELETE /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n", 200},
        WireCase{"Trace", "TRACE", "/a", {}, "", false, "",
                 "TRACE /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n", 200},
        WireCase{"ConnectAsksForTunnelAndEndsAtItsHeader", "CONNECT", "/a",
                 {}, "ignored", false,
                 "HTTP/1.1 200 Connection established\r\n\r\n",
                 "CONNECT 127.0.0.1:@PORT@ HTTP/1.1\r\n"
                 "Host: 127.0.0.1:@PORT@\r\n\r\n",
                 200},
        WireCase{"NonAsciiPathAndQueryArePercentEncodedUtf8", "GET",
                 "/\xD6\xD0/b?q=\xCE\xC4 x&r=%41", {}, "", false, "",
                 "GET /%E4%B8%AD/b?q=%E6%96%87%20x&r=%41 HTTP/1.1\r\n"
                 "Host: 127.0.0.1:@PORT@\r\n\r\n",
                 200},
        WireCase{"HeadersKeepOrderCaseAndGoAsUtf8",
                 "GET",
                 "/a",
                 {{"x-lower", "\xD6\xD0"}, {"X-UPPER", "v"}, {"Empty", ""}},
                 "",
                 false,
                 "",
                 "GET /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                 "x-lower: \xE4\xB8\xAD\r\nX-UPPER: v\r\nEmpty:\r\n\r\n",
                 200},
        WireCase{"ProxyCredentialNeverGoesToTheServer",
                 "GET",
                 "/a",
                 {{"Proxy-Authorization", "Basic dXNlcjpwYXNz"}, {"A", "1"}},
                 "",
                 false,
                 "",
                 "GET /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\nA: 1\r\n\r\n",
                 200},
        WireCase{"RepeatedNameReplacesInPlaceAndUnsafeHeadersAreIgnored",
                 "POST",
                 "/a",
                 {{"A", "1"},
                  {"B", "2"},
                  {"a", "3"},
                  {"X-Split", "v\r\nInjected: 1"},
                  {"Bad Name", "v"},
                  {"", "v"},
                  {"Content-Length", "99"},
                  {"Transfer-Encoding", "chunked"}},
                 "xy",
                 false,
                 "",
                 "POST /a HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                 "a: 3\r\nB: 2\r\nContent-Length: 2\r\n\r\nxy",
                 200}),
    [](const ::testing::TestParamInfo<WireCase>& info) {
      return std::string(info.param.name);
      // clang-format on
    });

TEST_F(CurlHttpRequestTest,
       HeadersBeforeOpenAreCarriedAndEachSendStartsAfresh) {
  LoopbackServer server(ServerPlan::Answer(OkReply("one"))
                            .Connection()
                            .Request()
                            .Send(OkReply("two")));

  object_.SetRequestHeader("Before", "1");
  object_.Open("GET", server.Url("/one"), false);
  object_.SetRequestHeader("After", "2");
  object_.Send(Text());
  const Response first = Read(object_);

  object_.Open("POST", server.Url("/two"), false);
  object_.SetRequestHeader("Second", "3");
  object_.Send(Text("b"));
  const Response second = Read(object_);

  // Nothing was opened since the last Send: no request, empty reads.
  object_.Send(Text("c"));
  const Response third = Read(object_);

  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0],
            WithPort("GET /one HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                     "Before: 1\r\nAfter: 2\r\n\r\n",
                     server.port()));
  EXPECT_EQ(requests[1],
            WithPort("POST /two HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                     "Second: 3\r\nContent-Length: 1\r\n\r\nb",
                     server.port()));
  EXPECT_EQ(first.body, "one");
  EXPECT_EQ(second.body, "two");
  ExpectEmpty(third);
}

TEST_F(CurlHttpRequestTest, LargeBodiesGoBothWaysWhole) {
  const std::string requestBody(std::size_t{2} << 20, 'q');
  const std::string replyBody(std::size_t{3} << 20, 'r');
  LoopbackServer server(ServerPlan::Answer(OkReply(replyBody)));

  object_.Open("POST", Text(server.Url("/big")), false);
  object_.Send(Bytes::FromString(requestBody));

  EXPECT_EQ(object_.Status(), 200);
  EXPECT_EQ(object_.ResponseBody().size(), replyBody.size());
  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  // No "Expect: 100-continue" and no waiting for an interim answer.
  EXPECT_EQ(requests[0],
            WithPort("POST /big HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                     "Content-Length: 2097152\r\n\r\n",
                     server.port()) +
                requestBody);
}

struct ResponseCase {
  const char* name;
  ServerPlan plan;
  std::string_view body;
  std::string_view headers;
  std::int32_t status;  // 0: the exchange fails and every read is empty
};

void PrintTo(const ResponseCase& c, std::ostream* os) { *os << c.name; }

class ResponseReadBackTest
    : public CurlHttpRequestTest,
      public ::testing::WithParamInterface<ResponseCase> {};

TEST_P(ResponseReadBackTest, GivesTheFinalResponseOrNothing) {
  const ResponseCase& c = GetParam();
  LoopbackServer server(c.plan);
  object_.Open("GET", server.Url("/r"), false);
  const Clock::time_point start = Clock::now();
  object_.Send(Text());
  EXPECT_LT(Clock::now() - start, kPromptly);

  const Response response = Read(object_);
  EXPECT_EQ(response.body, c.body);
  EXPECT_EQ(response.headers, c.headers);
  EXPECT_EQ(response.status, c.status);
}

ServerPlan Answer(std::string_view reply) { return ServerPlan::Answer(reply); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Responses, ResponseReadBackTest,
    ::testing::Values(
        ResponseCase{"ZeroBytesStayInTheBody",
                     Answer("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"
                            "a\0b\0c"sv),
                     "a\0b\0c"sv, "Content-Length: 5", 200},
        ResponseCase{"HeaderLinesKeepOrderAndCase",
                     Answer("HTTP/1.1 201 Created\r\nx-b: 2\r\nX-A: 1\r\n"
                            "Content-Length: 0\r\n\r\n"),
                     "", "x-b: 2\r\nX-A: 1\r\nContent-Length: 0", 201},
        ResponseCase{"Utf8AndLatin1HeadersComeBackIn936",
                     Answer("HTTP/1.1 200 OK\r\nX-Utf8: \xE4\xB8\xAD\r\n"
                            "X-Latin1: caf\xE9\r\nContent-Length: 0\r\n\r\n"),
                     "",
                     "X-Utf8: \xD6\xD0\r\nX-Latin1: caf\xA8\xA6\r\n"
                     "Content-Length: 0",
                     200},
        ResponseCase{"InterimResponseIsNotPartOfTheHeader",
                     Answer("HTTP/1.1 100 Continue\r\nX-Interim: 1\r\n\r\n"
                            "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
                     "ok", "Content-Length: 2", 200},
        ResponseCase{"ChunkedBodyWithoutItsTrailer",
                     Answer("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                            "\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n"
                            "X-Trailer: 1\r\n\r\n"),
                     "abcde", "Transfer-Encoding: chunked", 200},
        ResponseCase{"BodyUntilCloseWithoutLength",
                     Answer("HTTP/1.0 404 Not Found\r\n\r\nmissing"),
                     "missing", "", 404},
        ResponseCase{"StatusLineWithoutCode",
                     Answer("HTTP/1.1 OK\r\nContent-Length: 0\r\n\r\n"), "", "",
                     0},
        ResponseCase{"StatusLineWithTwoDigits",
                     Answer("HTTP/1.1 20 OK\r\nContent-Length: 0\r\n\r\n"), "",
                     "", 0},
        ResponseCase{"StatusLineWithFourDigits",
                     Answer("HTTP/1.1 2000 OK\r\nContent-Length: 0\r\n\r\n"),
                     "", "", 0},
        ResponseCase{"StatusLineOfAnotherProtocol",
                     Answer("ICY 200 OK\r\nContent-Length: 0\r\n\r\n"), "", "",
                     0},
        ResponseCase{"NoStatusLineAtAll", Answer("hello\r\n\r\n"), "", "", 0},
        ResponseCase{"ZeroByteInHeader",
                     Answer("HTTP/1.1 200 OK\r\nX-A: a\0b\r\n"
                            "Content-Length: 0\r\n\r\n"sv),
                     "", "", 0},
        ResponseCase{"ResetInTheMiddleOfTheBody",
                     Answer("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc")
                         .Sleep(100)
                         .Reset(),
                     "", "", 0},
        ResponseCase{"ClosedBeforeTheBodyIsWhole",
                     Answer("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"),
                     "", "", 0},
        ResponseCase{"ClosedBeforeTheHeaderEnds",
                     Answer("HTTP/1.1 200 OK\r\nContent-Le"), "", "", 0},
        ResponseCase{"ClosedWithoutAnswer", ServerPlan().Request(), "", "",
                     0}),
    [](const ::testing::TestParamInfo<ResponseCase>& info) {
      return std::string(info.param.name);
      // clang-format on
    });

TEST_F(CurlHttpRequestTest, FailsQuietlyWithoutReachingAServer) {
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"GET", refused},
      {"GET", "ftp://127.0.0.1/x"},
      {"GET", "file:///etc/passwd"},
      {"GET", "127.0.0.1/no-scheme"},
      {"GET", "http://"},
      {"GET", ""},
      {"GE T", "http://127.0.0.1/"},
      {"", "http://127.0.0.1/"},
  };
  for (const auto& [method, url] : cases) {
    SCOPED_TRACE(std::string(method) + " " + url);
    object_.Open(method, Text(url), false);
    const Clock::time_point start = Clock::now();
    object_.Send(Text("body"));
    EXPECT_LT(Clock::now() - start, kPromptly);
    ExpectEmpty(Read(object_));
  }
}

// No libcurl (SystemCurlLibrary() null when it cannot be loaded): no object.
TEST(CurlHttpRequestCreationTest, NoObjectWithoutLibcurl) {
  EXPECT_EQ(CreateCurlHttpRequest(nullptr), nullptr);
}

TEST_F(CurlHttpRequestTest, FailedSendForgetsThePreviousResponse) {
  LoopbackServer server(ServerPlan::Answer(OkReply("first")));
  object_.Open("GET", server.Url("/"), false);
  object_.Send(Text());
  ASSERT_EQ(Read(object_).body, "first");

  object_.Open("GET", "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/",
               false);
  object_.Send(Text());
  ExpectEmpty(Read(object_));
}

constexpr char kProxyCredential[] = "Basic dXNlcjpwYXNz";

TEST_F(CurlHttpRequestTest, ProxyGetsTheRequestWithTheCredentialSetBeforeOpen) {
  LoopbackServer proxy(ServerPlan::Answer(OkReply("via proxy")));

  object_.SetProxy(kProxySettingProxy,
                   Text("127.0.0.1:" + std::to_string(proxy.port())));
  object_.SetRequestHeader("Proxy-Authorization", kProxyCredential);
  object_.Open("GET", "http://origin.invalid/page", false);
  object_.SetRequestHeader("Accept", "*/*");
  object_.Send(Text());

  EXPECT_EQ(Read(object_).body, "via proxy");
  const std::vector<std::string> requests = proxy.Finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            "GET http://origin.invalid/page HTTP/1.1\r\n"
            "Host: origin.invalid\r\n"
            "Accept: */*\r\n"
            "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n\r\n");
}

TEST_F(CurlHttpRequestTest, HttpsThroughProxyTunnelKeepsProxyMattersApart) {
  LoopbackServer origin(
      ServerPlan::Answer(
          "HTTP/1.1 200 OK\r\nX-Origin: 1\r\n"
          "Content-Length: 6\r\nConnection: close\r\n\r\nsecret"),
      true);
  ASSERT_NE(origin.port(), 0);
  LoopbackServer proxy(
      ServerPlan()
          .Request()
          .Send("HTTP/1.1 200 Connection established\r\nX-Proxy: 1\r\n\r\n")
          .Tunnel(origin.port()));

  object_.SetProxy(kProxySettingProxy, Text(proxy.Url("")));
  object_.SetRequestHeader("Proxy-Authorization", kProxyCredential);
  object_.Open("GET", Text(origin.Url("/secure")), false);
  object_.SetOption(kOptionSslErrorIgnoreFlags, 0x3300);
  object_.Send(Text());

  const Response response = Read(object_);
  EXPECT_EQ(response.body, "secret");
  EXPECT_EQ(response.headers,
            "X-Origin: 1\r\nContent-Length: 6\r\nConnection: close");
  EXPECT_EQ(response.status, 200);
  const std::vector<std::string> toProxy = proxy.Finish();
  ASSERT_EQ(toProxy.size(), 1u);
  EXPECT_EQ(toProxy[0], WithPort("CONNECT 127.0.0.1:@PORT@ HTTP/1.1\r\n"
                                 "Host: 127.0.0.1:@PORT@\r\n"
                                 "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n"
                                 "\r\n",
                                 origin.port()));
  const std::vector<std::string> toOrigin = origin.Finish();
  ASSERT_EQ(toOrigin.size(), 1u);
  EXPECT_EQ(toOrigin[0], WithPort("GET /secure HTTP/1.1\r\n"
                                  "Host: 127.0.0.1:@PORT@\r\n\r\n",
                                  origin.port()));
}

TEST_F(CurlHttpRequestTest, EnvironmentProxyServesUntilTheCallerDecides) {
  LoopbackServer environmentProxy(ServerPlan::Answer(OkReply("environment")));
  LoopbackServer namedProxy(ServerPlan::Answer(OkReply("named")));
  LoopbackServer origin(ServerPlan::Answer(OkReply("direct")));
  setenv("http_proxy", environmentProxy.Url("").c_str(), 1);
  setenv("no_proxy", "origin.invalid", 1);

  object_.Open("GET", "http://other.invalid/", false);
  object_.Send(Text());
  EXPECT_EQ(Read(object_).body, "environment");
  // no_proxy exempts a host from the environment's proxy, not from the one
  // that the caller names.
  object_.SetProxy(kProxySettingProxy, Text(namedProxy.Url("")));
  object_.Open("GET", "http://origin.invalid/", false);
  object_.Send(Text());
  EXPECT_EQ(Read(object_).body, "named");
  object_.SetProxy(1, Text());
  object_.Open("GET", Text(origin.Url("/")), false);
  object_.Send(Text());
  EXPECT_EQ(Read(object_).body, "direct");

  EXPECT_EQ(environmentProxy.Finish().size(), 1u);
  EXPECT_EQ(namedProxy.Finish().size(), 1u);
  EXPECT_EQ(origin.Finish().size(), 1u);
}

struct RedirectCase {
  const char* name;
  const char* method;
  std::string_view body;
  bool follow;
  std::string_view redirect;     // the first reply
  std::string_view nextRequest;  // empty: no second request is made
  std::int32_t status;
  std::string_view finalHeaders;  // of the response the reads give
  std::string_view finalBody;
};

void PrintTo(const RedirectCase& c, std::ostream* os) { *os << c.name; }

constexpr std::string_view kFinalReply =
    "HTTP/1.1 200 OK\r\nX-Final: 1\r\nContent-Length: 5\r\n"
    "Connection: close\r\n\r\nfinal";
constexpr std::string_view kFinalHeaders =
    "X-Final: 1\r\nContent-Length: 5\r\nConnection: close";

class RedirectTest : public CurlHttpRequestTest,
                     public ::testing::WithParamInterface<RedirectCase> {};

TEST_P(RedirectTest, FollowsOrStopsAsTold) {
  const RedirectCase& c = GetParam();
  LoopbackServer server(
      ServerPlan::Answer(c.redirect).Connection().Request().Send(kFinalReply));
  if (!c.follow) object_.SetOption(kOptionEnableRedirects, 0);
  object_.Open(c.method, Text(server.Url("/start")), false);
  object_.Send(Text(c.body));

  const Response response = Read(object_);
  EXPECT_EQ(response.status, c.status);
  EXPECT_EQ(response.headers, WithPort(c.finalHeaders, server.port()));
  EXPECT_EQ(response.body, c.finalBody);
  const std::vector<std::string> requests = server.Finish();
  ASSERT_EQ(requests.size(), c.nextRequest.empty() ? 1u : 2u);
  if (!c.nextRequest.empty()) {
    EXPECT_EQ(requests[1], WithPort(c.nextRequest, server.port()));
  }
}

constexpr std::string_view kFound =
    "HTTP/1.1 302 Found\r\nLocation: /final\r\nContent-Length: 4\r\n"
    "Connection: close\r\n\r\nmove";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Redirects, RedirectTest,
    ::testing::Values(
        RedirectCase{"GetFollows302", "GET", "", true, kFound,
                     "GET /final HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n",
                     200, kFinalHeaders, "final"},
        RedirectCase{"NotFollowedGivesTheRedirect", "GET", "", false, kFound,
                     "", 302,
                     "Location: /final\r\nContent-Length: 4\r\n"
                     "Connection: close",
                     "move"},
        RedirectCase{"PostAfter302IsGetWithoutBody", "POST", "a=1", true,
                     kFound,
                     "GET /final HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n",
                     200, kFinalHeaders, "final"},
        RedirectCase{"PostAfter303IsGetWithoutBody", "POST", "a=1", true,
                     "HTTP/1.1 303 See Other\r\nLocation: final\r\n"
                     "Content-Length: 0\r\nConnection: close\r\n\r\n",
                     "GET /final HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n\r\n",
                     200, kFinalHeaders, "final"},
        RedirectCase{"PostAfter307StaysPostWithBody", "POST", "a=1", true,
                     "HTTP/1.1 307 Temporary Redirect\r\n"
                     "Location: http://127.0.0.1:@PORT@/final\r\n"
                     "Content-Length: 0\r\nConnection: close\r\n\r\n",
                     "POST /final HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                     "Content-Length: 3\r\n\r\na=1",
                     200, kFinalHeaders, "final"},
        RedirectCase{"PutAfter301StaysPut", "PUT", "a=1", true,
                     "HTTP/1.1 301 Moved Permanently\r\nLocation: /final\r\n"
                     "Content-Length: 0\r\nConnection: close\r\n\r\n",
                     "PUT /final HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                     "Content-Length: 3\r\n\r\na=1",
                     200, kFinalHeaders, "final"},
        RedirectCase{"ToAnotherSchemeFails", "GET", "", true,
                     "HTTP/1.1 302 Found\r\nLocation: ftp://127.0.0.1:@PORT@/x"
                     "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
                     "", 0, "", ""},
        RedirectCase{"ToAFileFails", "GET", "", true,
                     "HTTP/1.1 301 Moved Permanently\r\n"
                     "Location: file:///etc/passwd\r\n"
                     "Content-Length: 0\r\nConnection: close\r\n\r\n",
                     "", 0, "", ""},
        RedirectCase{"NotModifiedIsNoRedirect", "GET", "", true,
                     "HTTP/1.1 304 Not Modified\r\nLocation: /final\r\n"
                     "Connection: close\r\n\r\n",
                     "", 304, "Location: /final\r\nConnection: close", ""}),
    [](const ::testing::TestParamInfo<RedirectCase>& info) {
      return std::string(info.param.name);
      // clang-format on
    });

TEST_F(CurlHttpRequestTest, FollowsTenRedirectsButNotEleven) {
  for (const int redirects : {10, 11}) {
    SCOPED_TRACE(redirects);
    ServerPlan plan;
    for (int i = 1; i <= redirects; ++i) {
      plan.Connection().Request().Send(
          "HTTP/1.1 302 Found\r\nLocation: /" + std::to_string(i) +
          "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
    plan.Connection().Request().Send(kFinalReply);
    LoopbackServer server(plan);
    object_.Open("GET", Text(server.Url("/0")), false);
    object_.Send(Text());
    EXPECT_EQ(object_.Status(), redirects == 10 ? 200 : 0);
    EXPECT_EQ(server.Finish().size(), 11u);
  }
}

TEST_F(CurlHttpRequestTest, RedirectElsewhereDropsCredentialsAndCookies) {
  LoopbackServer elsewhere(ServerPlan::Answer(kFinalReply));
  LoopbackServer first(ServerPlan::Answer(
      "HTTP/1.1 302 Found\r\nLocation: " + elsewhere.Url("/there") +
      "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"));

  object_.Open("GET", Text(first.Url("/here")), false);
  object_.SetRequestHeader("Authorization", "Basic YTpi");
  object_.SetRequestHeader("Cookie", "sid=1");
  object_.SetRequestHeader("Accept", "*/*");
  object_.Send(Text());

  EXPECT_EQ(object_.Status(), 200);
  const std::vector<std::string> toFirst = first.Finish();
  ASSERT_EQ(toFirst.size(), 1u);
  EXPECT_NE(toFirst[0].find("Cookie: sid=1\r\n"), std::string::npos);
  const std::vector<std::string> toElsewhere = elsewhere.Finish();
  ASSERT_EQ(toElsewhere.size(), 1u);
  EXPECT_EQ(toElsewhere[0],
            WithPort("GET /there HTTP/1.1\r\nHost: 127.0.0.1:@PORT@\r\n"
                     "Accept: */*\r\n\r\n",
                     elsewhere.port()));
}

struct TimeoutCase {
  const char* name;
  ServerPlan plan;
  std::int32_t sendMs;
  std::int32_t receiveMs;
  std::size_t bodySize;
  std::int32_t status;  // 0: abandoned
};

void PrintTo(const TimeoutCase& c, std::ostream* os) { *os << c.name; }

class TimeoutTest : public CurlHttpRequestTest,
                    public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(TimeoutTest, IdleTimeIsBoundedNotTotalTime) {
  const TimeoutCase& c = GetParam();
  LoopbackServer server(c.plan);
  object_.SetTimeouts(0, 0, c.sendMs, c.receiveMs);
  object_.Open("POST", Text(server.Url("/")), false);
  const Clock::time_point start = Clock::now();
  object_.Send(Bytes(std::vector<std::uint8_t>(c.bodySize, 'x')));
  const auto elapsed = Clock::now() - start;

  EXPECT_EQ(object_.Status(), c.status);
  EXPECT_LT(elapsed, kPromptly);
  if (c.status == 0) {
    EXPECT_GE(elapsed,
              std::chrono::milliseconds(std::max(c.sendMs, c.receiveMs)) -
                  kTimerSlack);
  }
}

constexpr std::size_t kBodyThatFillsTheSocket = std::size_t{32} << 20;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Timeouts, TimeoutTest,
    ::testing::Values(
        TimeoutCase{"SilentServer", ServerPlan().Request().Hold(), 0, 300, 1,
                    0},
        TimeoutCase{"StallInTheBody",
                    Answer("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc")
                        .Hold(),
                    0, 300, 1, 0},
        TimeoutCase{"SlowButSteadyBody",
                    Answer("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n"
                           "Connection: close\r\n\r\n")
                        .Drip("0123456789", 100),
                    0, 400, 1, 200},
        TimeoutCase{"ServerThatReadsNothing", ServerPlan().Hold(), 300, 0,
                    kBodyThatFillsTheSocket, 0}),
    [](const ::testing::TestParamInfo<TimeoutCase>& info) {
      return std::string(info.param.name);
      // clang-format on
    });

TEST_F(CurlHttpRequestTest, NegativeTimeoutsLeaveTheBoundsAsTheyWere) {
  LoopbackServer server(ServerPlan().Request().Hold());
  object_.SetTimeouts(0, 0, 0, 300);
  object_.SetTimeouts(-1, -1, -1, -1);
  object_.Open("GET", Text(server.Url("/")), false);
  const Clock::time_point start = Clock::now();
  object_.Send(Text());
  EXPECT_LT(Clock::now() - start, kPromptly);
  EXPECT_EQ(object_.Status(), 0);
}

TEST_F(CurlHttpRequestTest, ConnectBoundEndsAConnectionNobodyAccepts) {
  // A listener whose backlog is full lets further connection attempts wait
  // unanswered.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(
      bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::vector<int> fillers;
  for (int i = 0; i < 2; ++i) {
    const int filler =
        socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers.push_back(filler);
  }

  object_.SetTimeouts(100, 200, 0, 0);
  object_.Open(
      "GET",
      Text("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/"),
      false);
  const Clock::time_point start = Clock::now();
  object_.Send(Text());
  const auto elapsed = Clock::now() - start;

  EXPECT_EQ(object_.Status(), 0);
  EXPECT_GE(elapsed, 300ms - kTimerSlack);
  EXPECT_LT(elapsed, kPromptly);
  for (const int filler : fillers) close(filler);
  close(listener);
}

struct CertificateCase {
  const char* name;
  std::int32_t ignored;
  bool succeeds;
};

void PrintTo(const CertificateCase& c, std::ostream* os) { *os << c.name; }

class CertificateTest : public CurlHttpRequestTest,
                        public ::testing::WithParamInterface<CertificateCase> {
};

// The server's certificate is self-signed and made out to "localhost", and it
// is reached as 127.0.0.1: both the authority and the name are wrong.
TEST_P(CertificateTest, SelfSignedServerIsReachedOnlyWhenBothErrorsAreIgnored) {
  const CertificateCase& c = GetParam();
  LoopbackServer server(ServerPlan::Answer(OkReply("tls")), true);
  ASSERT_NE(server.port(), 0);
  object_.SetOption(kOptionSslErrorIgnoreFlags, c.ignored);
  object_.Open("GET", Text(server.Url("/")), false);
  object_.Send(Text());

  const Response response = Read(object_);
  EXPECT_EQ(response.status, c.succeeds ? 200 : 0);
  EXPECT_EQ(response.body, c.succeeds ? "tls" : "");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Certificates, CertificateTest,
    ::testing::Values(CertificateCase{"NoneIgnored", 0, false},
                      CertificateCase{"AllIgnored", 0x3300, true},
                      CertificateCase{"AuthorityAndName", 0x1100, true},
                      CertificateCase{"DateAndName", 0x3000, true},
                      CertificateCase{"AllButName", 0x2300, false},
                      CertificateCase{"NameOnly", 0x1000, false}),
    [](const ::testing::TestParamInfo<CertificateCase>& info) {
      return std::string(info.param.name);
      // clang-format on
    });

}  // namespace
}  // namespace tarnwick
