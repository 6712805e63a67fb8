// WebRequest against loopback servers that misbehave: each exchange ends
// within its bounds, a failed one gives the defined empty results (empty body,
// headers and returned cookies, status 0), and whatever does come back is
// passed on as it arrived.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "text/bytes.h"
#include "text/text.h"
#include "web/proxy_variables.h"
#include "web/servers/loopback_server.h"
#include "web/web_request.h"

namespace tarnwick {
namespace {

using namespace std::literals;
using loopback::LoopbackServer;
using loopback::ServerPlan;
using Clock = std::chrono::steady_clock;

// The per-phase bound the exchanges run with.
constexpr std::int32_t kBoundSeconds = 1;
// How long any exchange here may take: the bound and a margin for a loaded
// machine and a sanitizer build, far below the 15 s default bound.
constexpr auto kPromptly = 5s;
// How much earlier than the bound a timer may fire.
constexpr auto kTimerSlack = 50ms;

// Results that a failed exchange must overwrite.
constexpr char kStale[] = "stale";
constexpr std::int32_t kStaleStatus = -1;

struct Outcome {
  std::string body;
  std::string headers;
  std::int32_t status = kStaleStatus;
  std::string cookies;
  Clock::duration elapsed{};
};

// One exchange the way the program makes it: a POST with every result taken,
// and `postBytes` as the body when given.
Outcome Exchange(const std::string& url, const Bytes& postBytes = Bytes(),
                 Text* cookies = nullptr) {
  Text returnedCookies(kStale);
  Text extraHeaders;
  Text returnedHeaders(kStale);
  std::int32_t status = kStaleStatus;
  const Clock::time_point start = Clock::now();
  const Bytes body =
      WebRequest(Text(url), {.method = kMethodPost,
                             .postText = "url=https://588ku.com/ycwordart/1.html",
                             .cookies = cookies,
                             .returnedCookies = &returnedCookies,
                             .extraHeaders = &extraHeaders,
                             .returnedHeaders = &returnedHeaders,
                             .statusCode = &status,
                             .postBytes = postBytes,
                             .timeoutSeconds = kBoundSeconds});
  Outcome outcome;
  outcome.elapsed = Clock::now() - start;
  outcome.body = std::string(body.view());
  outcome.headers = returnedHeaders.str();
  outcome.status = status;
  outcome.cookies = returnedCookies.str();
  return outcome;
}

class HostileServerTest : public ::testing::Test {
 protected:
  void SetUp() override { UnsetProxyVariables(); }
};

struct HostileCase {
  const char* name;
  ServerPlan plan;
  // The results; all empty and status 0 for a failed exchange.
  std::string_view body;
  std::string_view headers;
  std::int32_t status;
  std::string_view cookies;
  // How long the exchange has to last: the bound that ends it, or the time
  // the server takes.
  Clock::duration atLeast = 0s;
  // How many requests the server reads.
  std::size_t requests = 1;
  // The size of the request body; 0 for the program's small form.
  std::size_t postSize = 0;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

HostileCase Failed(const char* name, ServerPlan plan,
                   Clock::duration atLeast = 0s, std::size_t requests = 1,
                   std::size_t postSize = 0) {
  return {name, std::move(plan), "", "", 0, "", atLeast, requests, postSize};
}

ServerPlan Answer(std::string_view reply) { return ServerPlan::Answer(reply); }

// The start of a reply whose header sets a cookie: a failure after it must not
// let the cookie through.
constexpr std::string_view kCookieHeader =
    "HTTP/1.1 200 OK\r\nSet-Cookie: sid=1; path=/\r\n";

std::string WithCookieHeader(std::string_view rest) {
  return std::string(kCookieHeader) + std::string(rest);
}

const std::string kWholeReply =
    WithCookieHeader("Content-Length: 5\r\nConnection: close\r\n\r\nwhole");
constexpr std::string_view kWholeHeaders =
    "Set-Cookie: sid=1; path=/\r\nContent-Length: 5\r\nConnection: close";

class HostileServerCaseTest : public HostileServerTest,
                              public ::testing::WithParamInterface<HostileCase> {
};

TEST_P(HostileServerCaseTest, EndsInTimeWithTheDefinedResults) {
  const HostileCase& c = GetParam();
  LoopbackServer server(c.plan);
  ASSERT_NE(server.port(), 0);

  const Outcome outcome = Exchange(
      server.Url("/58pic/58pic.php"),
      c.postSize == 0 ? Bytes()
                      : Bytes(std::vector<std::uint8_t>(c.postSize, 'p')));

  EXPECT_EQ(outcome.body, c.body);
  EXPECT_EQ(outcome.headers, c.headers);
  EXPECT_EQ(outcome.status, c.status);
  EXPECT_EQ(outcome.cookies, c.cookies);
  EXPECT_LT(outcome.elapsed, kPromptly);
  EXPECT_GE(outcome.elapsed, c.atLeast - kTimerSlack);
  EXPECT_EQ(server.Finish().size(), c.requests);
}

std::string CaseName(const ::testing::TestParamInfo<HostileCase>& info) {
  return info.param.name;
}

// Silence and slowness: the receive bound counts idle time, so a server that
// goes quiet is left after the bound; one that keeps sending is waited for,
// but not beyond the sum of the four bounds (4 s here).
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Stalls, HostileServerCaseTest,
    ::testing::Values(
        // Accepts, reads nothing, answers nothing.
        Failed("NoAnswerAtAll", ServerPlan().Connection().Hold(), 1s, 0),
        Failed("StallAfterTheStatusLine",
               ServerPlan().Request().Send("HTTP/1.1 200 OK\r\n").Hold(), 1s),
        Failed("StallInTheBody",
               ServerPlan().Request()
                   .Send(WithCookieHeader("Content-Length: 100\r\n\r\npart"))
                   .Hold(),
               1s),
        Failed("StallInAChunkedBody",
               ServerPlan().Request()
                   .Send(WithCookieHeader(
                       "Transfer-Encoding: chunked\r\n\r\n4\r\npart\r\n"))
                   .Hold(),
               1s),
        Failed("TrickleSlowerThanTheBound",
               ServerPlan().Request()
                   .Send(WithCookieHeader("Content-Length: 4\r\n\r\n"))
                   .Drip("abcd", 1500)
                   .Hold(),
               1s),
        HostileCase{"TrickleWithinTheBoundOutlastsIt",
                    Answer(WithCookieHeader(
                               "Content-Length: 8\r\nConnection: close\r\n\r\n"))
                        .Drip("abcdefgh", 300),
                    "abcdefgh",
                    "Set-Cookie: sid=1; path=/\r\nContent-Length: 8\r\n"
                    "Connection: close",
                    200, "sid=1", 2s},
        Failed("TrickleOutlastingAllTheBounds",
               ServerPlan().Request()
                   .Send(WithCookieHeader("Content-Length: 30\r\n\r\n"))
                   .Drip("abcdefghijklmnopqrstuvwxyz0123", 200)
                   .Hold(),
               4s)),
    CaseName);

// Replies that are not HTTP: the exchange fails as a whole, so nothing of the
// header that may follow gets through.
INSTANTIATE_TEST_SUITE_P(
    MalformedReplies, HostileServerCaseTest,
    ::testing::Values(
        Failed("NoSpaceAfterTheCode",
               Answer("HTTP/1.1 200OK\r\nSet-Cookie: sid=1\r\n"
                      "Content-Length: 0\r\n\r\n")),
        Failed("ZeroByteInTheReason",
               Answer("HTTP/1.1 200 O\0K\r\nSet-Cookie: sid=1\r\n"
                      "Content-Length: 0\r\n\r\n"sv)),
        Failed("VersionWithoutMinor",
               Answer("HTTP/2 200\r\nSet-Cookie: sid=1\r\n"
                      "Content-Length: 0\r\n\r\n")),
        Failed("StatusBelow100",
               Answer("HTTP/1.1 099 Low\r\nSet-Cookie: sid=1\r\n"
                      "Content-Length: 0\r\n\r\n")),
        Failed("EmptyFirstLine",
               Answer("\r\nHTTP/1.1 200 OK\r\nSet-Cookie: sid=1\r\n"
                      "Content-Length: 0\r\n\r\n")),
        Failed("MalformedAfterAnInterimResponse",
               Answer("HTTP/1.1 100 Continue\r\n\r\n"
                      "ICY 200 OK\r\nSet-Cookie: sid=1\r\n"
                      "Content-Length: 0\r\n\r\n")),
        Failed("StatusLineOfAMegabyte",
               Answer("HTTP/1.1 200 " + std::string(std::size_t{1} << 20, 'r') +
                      "\r\nSet-Cookie: sid=1\r\nContent-Length: 0\r\n\r\n")),
        Failed("HeaderLineOfAMegabyte",
               Answer(WithCookieHeader(
                   "X-Big: " + std::string(std::size_t{1} << 20, 'h') +
                   "\r\nContent-Length: 0\r\n\r\n"))),
        Failed("ZeroByteInTheSetCookieLine",
               Answer("HTTP/1.1 200 OK\r\nSet-Cookie: sid=1\0; evil=1\r\n"
                      "Content-Length: 0\r\n\r\n"sv)),
        Failed("ContentLengthBeyondAnyBody",
               Answer(WithCookieHeader(
                   "Content-Length: 9223372036854775807\r\n\r\nabc"))),
        // Bytes that are not UTF-8 in the header are read as Latin-1, line by
        // line; the body is bytes and comes through as it is.
        HostileCase{"ZeroBytesAndInvalidUtf8PassThrough",
                    Answer("HTTP/1.1 200 OK\r\nSet-Cookie: k=caf\xE9\r\n"
                           "X-Bad: \xC3\x28\r\nContent-Length: 9\r\n"
                           "Connection: close\r\n\r\n"
                           "a\0b\xFF\xFE\xC3\x28\0\x80"sv),
                    "a\0b\xFF\xFE\xC3\x28\0\x80"sv,
                    "Set-Cookie: k=caf\xA8\xA6\r\nX-Bad: ?(\r\n"
                    "Content-Length: 9\r\nConnection: close",
                    200, "k=caf\xA8\xA6"}),
    CaseName);

// The connection reset at each point of the exchange: every one before the
// response is whole fails it; one after it changes nothing.
INSTANTIATE_TEST_SUITE_P(
    Resets, HostileServerCaseTest,
    ::testing::Values(
        Failed("OnAccept", ServerPlan().Connection().Reset(), 0s, 0),
        // The server reads nothing of a request too large for the sockets'
        // buffers, so the client is still sending.
        Failed("WhileTheRequestIsSent",
               ServerPlan().Connection().Sleep(200).Reset(), 0s, 0,
               std::size_t{16} << 20),
        Failed("BeforeTheStatusLine", ServerPlan().Request().Reset()),
        Failed("InTheStatusLine",
               ServerPlan().Request().Send("HTTP/1.1 2").Sleep(100).Reset()),
        Failed("InTheHeader",
               ServerPlan().Request()
                   .Send(WithCookieHeader("Content-Le"))
                   .Sleep(100)
                   .Reset()),
        Failed("InTheBody",
               ServerPlan().Request()
                   .Send(WithCookieHeader("Content-Length: 10\r\n\r\nabc"))
                   .Sleep(100)
                   .Reset()),
        Failed("InAChunkedBody",
               ServerPlan().Request()
                   .Send(WithCookieHeader(
                       "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n"))
                   .Sleep(100)
                   .Reset()),
        HostileCase{"AfterTheWholeResponse",
                    Answer(kWholeReply).Sleep(200).Reset(), "whole",
                    kWholeHeaders, 200, "sid=1"}),
    CaseName);

// A redirect to a scheme other than http and https is refused before any
// connection is made: the second planned connection stays unused.
ServerPlan RedirectTo(std::string_view location) {
  return Answer("HTTP/1.1 302 Found\r\nSet-Cookie: sid=1\r\nLocation: " +
                std::string(location) +
                "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
      .Connection()
      .Request()
      .Send(kWholeReply);
}

INSTANTIATE_TEST_SUITE_P(
    Redirects, HostileServerCaseTest,
    ::testing::Values(
        // Ten redirects are followed, the eleventh fails the exchange.
        Failed("Loop",
               ServerPlan().Request()
                   .Send("HTTP/1.1 302 Found\r\nSet-Cookie: sid=1\r\n"
                         "Location: /58pic/58pic.php\r\n"
                         "Content-Length: 0\r\nConnection: close\r\n\r\n")
                   .Repeat(),
               0s, 11),
        Failed("ToAFile", RedirectTo("file:///etc/passwd")),
        Failed("ToFtp", RedirectTo("ftp://127.0.0.1:@PORT@/")),
        Failed("ToGopher", RedirectTo("gopher://127.0.0.1:@PORT@/")),
        Failed("ToDict", RedirectTo("dict://127.0.0.1:@PORT@/d:x")),
        Failed("ToData", RedirectTo("data:text/plain,whole")),
        Failed("ToScript", RedirectTo("javascript:alert(1)"))),
    CaseName);
// clang-format on

// A reply that sets `count` cookies "c<i>=<i>", every other one with an
// attribute, in lines `padding` bytes longer than they need be.
std::string ReplySettingCookies(int count, std::size_t padding) {
  std::string reply = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < count; ++i) {
    reply += "Set-Cookie: c" + std::to_string(i) + "=" + std::to_string(i) +
             (i % 2 == 0 ? "" : "; path=/") + std::string(padding, ' ') +
             "\r\n";
  }
  return reply + "Content-Length: 2\r\nConnection: close\r\n\r\nok";
}

TEST_F(HostileServerTest, TenThousandCookiesAreAllReturnedAndMerged) {
  constexpr int kCookies = 10000;
  std::string expected;
  for (int i = 0; i < kCookies; ++i) {
    expected += "c" + std::to_string(i) + "=" + std::to_string(i) + "; ";
  }
  const std::string reply = ReplySettingCookies(kCookies, 0);
  LoopbackServer server(
      ServerPlan::Answer(reply).Connection().Request().Send(reply));

  const Outcome alone = Exchange(server.Url("/"));
  EXPECT_EQ(alone.status, 200);
  EXPECT_EQ(alone.cookies, expected.substr(0, expected.size() - 2));
  EXPECT_LT(alone.elapsed, kPromptly);

  // Merged with the cookies sent: the fresh ones first, then the old ones
  // that the response does not set again.
  Text sent("c0=old; kept=1");
  const Outcome merged = Exchange(server.Url("/"), Bytes(), &sent);
  EXPECT_EQ(merged.cookies, expected + "kept=1");
  EXPECT_EQ(sent.str(), merged.cookies);
  EXPECT_LT(merged.elapsed, kPromptly);
}

TEST_F(HostileServerTest, HeaderBeyondLibcurlsLimitFailsTheExchange) {
  // libcurl takes at most 300 KB of response header in all.
  LoopbackServer server(ServerPlan::Answer(ReplySettingCookies(10000, 10)));
  const Outcome outcome = Exchange(server.Url("/"));
  EXPECT_EQ(outcome.body, "");
  EXPECT_EQ(outcome.headers, "");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.cookies, "");
  EXPECT_LT(outcome.elapsed, kPromptly);
}

// The peak resident size of this process, in bytes; nullopt when the system
// does not tell.
std::optional<std::size_t> PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stoull(line.substr(6)) * 1024;
  }
  return std::nullopt;
}

// Starts the peak resident size over from the present resident size.
bool ResetPeakResident() {
  std::ofstream clearRefs("/proc/self/clear_refs");
  clearRefs << "5";
  clearRefs.flush();
  return clearRefs.good();
}

struct LargeBodyCase {
  const char* name;
  bool announcesLength;
};

void PrintTo(const LargeBodyCase& c, std::ostream* os) { *os << c.name; }

class LargeBodyTest : public HostileServerTest,
                      public ::testing::WithParamInterface<LargeBodyCase> {};

TEST_P(LargeBodyTest, ArrivesWholeInLittleMoreMemoryThanItself) {
  constexpr std::size_t kLine = 1024;
  constexpr int kLines = 32 * 1024;
  constexpr std::size_t kBodySize = kLine * kLines;  // 32 MB
  // The most memory that the exchange may take besides, in bodies: the body
  // as it is collected and the copy handed back, with room for the
  // allocator.
  constexpr std::size_t kMostBodies = 4;
  std::string line(kLine - 2, 'x');
  line += "\r\n";
  const std::string header =
      GetParam().announcesLength
          ? "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kBodySize) +
                "\r\nConnection: close\r\n\r\n"
          : "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
  LoopbackServer server(
      ServerPlan().Request().Send(header).SendMany(line, kLines));
  ASSERT_NE(server.port(), 0);

  const bool measured = ResetPeakResident();
  const std::optional<std::size_t> before = PeakResidentBytes();
  const Clock::time_point start = Clock::now();
  const Bytes body = WebRequest(Text(server.Url("/big")),
                                {.method = kMethodPost,
                                 .postText = "url=x",
                                 .timeoutSeconds = kBoundSeconds});
  const auto elapsed = Clock::now() - start;
  const std::optional<std::size_t> after = PeakResidentBytes();

  ASSERT_EQ(body.size(), kBodySize);
  EXPECT_EQ(body.view().substr(0, kLine), line);
  EXPECT_EQ(body.view().substr(kBodySize - kLine), line);
  EXPECT_LT(elapsed, 30s);
  if (!measured || !before || !after) {
    GTEST_SKIP() << "the peak resident size cannot be measured here";
  }
  const std::size_t growth = *after - *before;
  RecordProperty("peak_growth_bytes", std::to_string(growth));
  RecordProperty("elapsed_ms",
                 std::to_string(std::chrono::duration_cast<
                                    std::chrono::milliseconds>(elapsed)
                                    .count()));
  EXPECT_LT(growth, kMostBodies * kBodySize)
      << "peak grew by " << growth / (1 << 20) << " MB";
}

INSTANTIATE_TEST_SUITE_P(
    ThirtyTwoMegabytes, LargeBodyTest,
    ::testing::Values(LargeBodyCase{"WithContentLength", true},
                      LargeBodyCase{"UntilClose", false}),
    [](const ::testing::TestParamInfo<LargeBodyCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace tarnwick
