#include "web/curl/curl_http_request.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/bytes.h"
#include "text/text.h"
#include "web/curl/curl_library.h"
#include "web/curl/wire_text.h"

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t kDefaultResolveMs = 0;
constexpr std::int32_t kDefaultConnectMs = 60000;
constexpr std::int32_t kDefaultSendMs = 30000;
constexpr std::int32_t kDefaultReceiveMs = 30000;
constexpr int kMaxRedirects = 10;
// The most that a Content-Length makes the body buffer reserve up front.
constexpr curl_off_t kMaxBodyReserve = curl_off_t{64} << 20;
// The longest wait between two looks at the send and receive bounds.
constexpr std::int64_t kLongestWaitMs = 1000;
constexpr char kWebProtocols[] = "http,https";
// SetProxy's settings besides kProxySettingProxy.
constexpr std::int32_t kProxySettingDefault = 0;
constexpr std::int32_t kProxySettingDirect = 1;

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An HTTP token: the form of a method and of a header name.
bool IsToken(std::string_view s) {
  constexpr std::string_view kPunctuation = "!#$%&'*+-.^_`|~";
  return !s.empty() && std::all_of(s.begin(), s.end(), [&](char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           kPunctuation.find(c) != std::string_view::npos;
  });
}

// "HTTP/" DIGIT "." DIGIT SP 3DIGIT, then nothing or SP and a reason phrase
// without control characters. The status must be 100 or more.
std::optional<std::int32_t> ParseStatusLine(std::string_view line) {
  if (line.size() < 12 || line.substr(0, 5) != "HTTP/" || !IsDigit(line[5]) ||
      line[6] != '.' || !IsDigit(line[7]) || line[8] != ' ' ||
      !IsDigit(line[9]) || !IsDigit(line[10]) || !IsDigit(line[11])) {
    return std::nullopt;
  }
  if (line.size() > 12 && line[12] != ' ') return std::nullopt;
  for (const char c : line.substr(12)) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) return std::nullopt;
  }
  const std::int32_t status =
      (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
  if (status < 100) return std::nullopt;
  return status;
}

struct UrlParts {
  std::string scheme;  // lower case
  std::string host;    // an IPv6 address keeps its brackets
  std::string port;    // the scheme's default when the URL names none
};

std::string TakeUrlPart(const CurlLibrary& curl, CURLU* url, CURLUPart part,
                        unsigned int flags) {
  char* value = nullptr;
  if (curl.urlGet(url, part, &value, flags) != CURLUE_OK || value == nullptr) {
    return {};
  }
  std::string copy(value);
  curl.free(value);
  return copy;
}

using UrlHandle = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

// `url` parsed; null when libcurl cannot parse it.
UrlHandle ParseUrlHandle(const CurlLibrary& curl, const std::string& url) {
  UrlHandle handle(curl.url(), curl.urlCleanup);
  if (handle &&
      curl.urlSet(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
    handle.reset();
  }
  return handle;
}

bool IsWebScheme(const std::string& scheme) {
  return scheme == "http" || scheme == "https";
}

std::optional<UrlParts> ParseUrl(const CurlLibrary& curl,
                                 const std::string& url) {
  const UrlHandle handle = ParseUrlHandle(curl, url);
  if (!handle) return std::nullopt;
  UrlParts parts{
      TakeUrlPart(curl, handle.get(), CURLUPART_SCHEME, 0),
      TakeUrlPart(curl, handle.get(), CURLUPART_HOST, 0),
      TakeUrlPart(curl, handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT)};
  if (!IsWebScheme(parts.scheme)) return std::nullopt;
  if (parts.host.empty() || parts.port.empty()) return std::nullopt;
  return parts;
}

// Whether ParseUrl takes `url`, without asking for its port: an http or https
// URL always has one, its own or the scheme's default.
bool IsWebUrl(const CurlLibrary& curl, const std::string& url) {
  const UrlHandle handle = ParseUrlHandle(curl, url);
  return handle &&
         IsWebScheme(TakeUrlPart(curl, handle.get(), CURLUPART_SCHEME, 0)) &&
         !TakeUrlPart(curl, handle.get(), CURLUPART_HOST, 0).empty();
}

bool SameOrigin(const UrlParts& a, const UrlParts& b) {
  return a.scheme == b.scheme && EqualsIgnoringCase(a.host, b.host) &&
         a.port == b.port;
}

bool IsFollowedRedirect(std::int32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307 ||
         status == 308;
}

struct Header {
  std::string name;   // ASCII
  std::string value;  // UTF-8
};

bool NameIs(const Header& header, std::string_view name) {
  return EqualsIgnoringCase(header.name, name);
}

bool HasHeader(const std::vector<Header>& headers, std::string_view name) {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const Header& h) { return NameIs(h, name); });
}

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

bool AppendLine(const CurlLibrary& curl, HeaderList& list,
                const std::string& line) {
  curl_slist* const head = curl.slistAppend(list.get(), line.c_str());
  if (head == nullptr) return false;
  static_cast<void>(list.release());
  list.reset(head);
  return true;
}

// The line that makes libcurl send `header` as it is ("Name;" is libcurl's
// spelling of a header with an empty value).
std::string WireLine(const Header& header) {
  return header.value.empty() ? header.name + ";"
                              : header.name + ": " + header.value;
}

// The headers for the server and those for a proxy, each list followed by the
// "Name:" lines that keep libcurl from adding headers of its own.
struct HeaderLists {
  explicit HeaderLists(const CurlLibrary& curl)
      : server(nullptr, curl.slistFreeAll), proxy(nullptr, curl.slistFreeAll) {}

  HeaderList server;
  HeaderList proxy;
};

bool BuildHeaderLists(const CurlLibrary& curl,
                      const std::vector<Header>& headers, HeaderLists& lists) {
  for (const Header& header : headers) {
    HeaderList& list =
        NameIs(header, "Proxy-Authorization") ? lists.proxy : lists.server;
    if (!AppendLine(curl, list, WireLine(header))) return false;
  }
  for (const char* name : {"Accept", "Content-Type", "Expect"}) {
    if (!HasHeader(headers, name) &&
        !AppendLine(curl, lists.server, std::string(name) + ":")) {
      return false;
    }
  }
  return AppendLine(curl, lists.proxy, "Proxy-Connection:");
}

enum class HeaderPhase { kStatusLine, kFields, kDone };

// What one request-response round collects; the callbacks write into it.
struct Round {
  const CurlLibrary* curl = nullptr;
  CURL* easy = nullptr;
  // For CONNECT: a 2xx reply opens a tunnel and carries no body.
  bool stopAfter2xxHeader = false;
  curl_off_t bodySize = 0;

  bool requestStarted = false;
  Clock::time_point lastProgress;
  curl_off_t uploaded = 0;

  HeaderPhase phase = HeaderPhase::kStatusLine;
  bool malformed = false;
  bool tunnelOpened = false;
  std::int32_t status = 0;
  std::string headerBlock;
  std::vector<std::uint8_t> body;

  bool Sending() const { return uploaded < bodySize; }
};

int OnRequestStart(void* round, char*, char*, int, int) {
  auto& r = *static_cast<Round*>(round);
  r.requestStarted = true;
  r.lastProgress = Clock::now();
  return CURL_PREREQFUNC_OK;
}

int OnProgress(void* round, curl_off_t, curl_off_t, curl_off_t,
               curl_off_t uploaded) {
  auto& r = *static_cast<Round*>(round);
  if (uploaded != r.uploaded) {
    r.uploaded = uploaded;
    r.lastProgress = Clock::now();
  }
  return 0;
}

std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count,
                         void* round) {
  auto& r = *static_cast<Round*>(round);
  const std::size_t length = size * count;
  r.lastProgress = Clock::now();
  std::string_view line(data, length);
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  switch (r.phase) {
    case HeaderPhase::kStatusLine:
      if (const auto status = ParseStatusLine(line)) {
        r.status = *status;
        r.headerBlock.clear();
        r.phase = HeaderPhase::kFields;
        return length;
      }
      r.malformed = true;
      return 0;
    case HeaderPhase::kFields:
      if (line.empty()) {
        r.phase =
            r.status < 200 ? HeaderPhase::kStatusLine : HeaderPhase::kDone;
        if (r.stopAfter2xxHeader && r.status / 100 == 2) {
          r.tunnelOpened = true;
          return 0;
        }
        return length;
      }
      if (line.find('\0') != std::string_view::npos) {
        r.malformed = true;
        return 0;
      }
      try {
        if (!r.headerBlock.empty()) r.headerBlock.append("\r\n");
        r.headerBlock.append(line);
      } catch (...) {
        return 0;
      }
      return length;
    case HeaderPhase::kDone:
      // Trailer fields after a chunked body: not part of the header.
      return length;
  }
  return 0;
}

std::size_t OnBodyData(char* data, std::size_t size, std::size_t count,
                       void* round) {
  auto& r = *static_cast<Round*>(round);
  const std::size_t length = size * count;
  r.lastProgress = Clock::now();
  try {
    if (r.body.empty()) {
      curl_off_t expected = -1;
      if (r.curl->easyGetinfo(r.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                              &expected) == CURLE_OK &&
          expected > 0) {
        r.body.reserve(
            static_cast<std::size_t>(std::min(expected, kMaxBodyReserve)));
      }
    }
    r.body.insert(r.body.end(), reinterpret_cast<const std::uint8_t*>(data),
                  reinterpret_cast<const std::uint8_t*>(data) + length);
  } catch (...) {
    return 0;
  }
  return length;
}

// One request as it goes on the wire.
struct Hop {
  std::string method;
  std::string url;
  std::string_view body;  // sent when not empty, and always for POST and PUT
};

// The multi handle that drives the transfers this thread runs, made on the
// first one; null when libcurl cannot make it. Transfers are synchronous and
// leave it when they end, so the request objects used on a thread take turns
// with it. None of them leaves anything in it for the next: every transfer
// closes its connection when it ends and keeps no name lookup. (Making and
// ending a multi handle for each object took about 14 us, a tenth of a whole
// exchange on loopback.)
CURLM* ThreadMultiHandle(const CurlLibrary& curl) {
  class ThreadMulti {
   public:
    ThreadMulti() = default;
    ThreadMulti(const ThreadMulti&) = delete;
    ThreadMulti& operator=(const ThreadMulti&) = delete;
    ~ThreadMulti() { Reset(); }

    CURLM* For(const CurlLibrary& curl) {
      if (curl_ != &curl) {
        Reset();
        multi_ = curl.multiInit();
        if (multi_ != nullptr) curl_ = &curl;
      }
      return multi_;
    }

   private:
    void Reset() {
      if (curl_ != nullptr) curl_->multiCleanup(multi_);
      curl_ = nullptr;
      multi_ = nullptr;
    }

    const CurlLibrary* curl_ = nullptr;
    CURLM* multi_ = nullptr;
  };
  thread_local ThreadMulti multi;
  return multi.For(curl);
}

class CurlHttpRequest final : public HttpRequestOperations {
 public:
  using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

  CurlHttpRequest(const CurlLibrary& curl, EasyHandle easy)
      : curl_(curl), easy_(std::move(easy)) {}

  void SetTimeouts(std::int32_t resolveMs, std::int32_t connectMs,
                   std::int32_t sendMs, std::int32_t receiveMs) override {
    if (resolveMs < 0 || connectMs < 0 || sendMs < 0 || receiveMs < 0) return;
    resolveMs_ = resolveMs;
    connectMs_ = connectMs;
    sendMs_ = sendMs;
    receiveMs_ = receiveMs;
  }

  void SetProxy(std::int32_t setting, const Text& address) override {
    if (setting == kProxySettingProxy) {
      if (address.empty()) return;
      proxy_ = Cp936ToUtf8(address);
      proxySetting_ = ProxySetting::kNamed;
    } else if (setting == kProxySettingDirect) {
      proxySetting_ = ProxySetting::kDirect;
    } else if (setting == kProxySettingDefault) {
      proxySetting_ = ProxySetting::kEnvironment;
    }
  }

  void SetRequestHeader(const Text& name, const Text& value) override {
    const std::string_view nameBytes = name.view();
    if (!IsToken(nameBytes) ||
        EqualsIgnoringCase(nameBytes, "Content-Length") ||
        EqualsIgnoringCase(nameBytes, "Transfer-Encoding")) {
      return;
    }
    std::string utf8Value = Cp936ToUtf8(value);
    if (utf8Value.find_first_of("\r\n") != std::string::npos) return;
    Header header{std::string(nameBytes), std::move(utf8Value)};
    const auto same =
        std::find_if(headers_.begin(), headers_.end(),
                     [&](const Header& h) { return NameIs(h, header.name); });
    if (same != headers_.end()) {
      *same = std::move(header);
    } else {
      headers_.push_back(std::move(header));
    }
  }

  void Open(const Text& method, const Text& url, bool) override {
    ClearResponse();
    opened_ = false;
    if (!IsToken(method.view())) return;
    std::string wireUrl = EncodeUrlForWire(url);
    if (!IsWebUrl(curl_, wireUrl)) return;
    method_ = std::string(method.view());
    url_ = std::move(wireUrl);
    opened_ = true;
  }

  void SetOption(std::int32_t option, std::int32_t value) override {
    if (option == kOptionEnableRedirects) {
      followRedirects_ = value != 0;
    } else if (option == kOptionSslErrorIgnoreFlags) {
      ignoredCertificateErrors_ = value;
    }
  }

  void Send(const Bytes& body) override { Exchange(body.view()); }

  void Send(const Text& body) override {
    const std::string utf8 = Cp936ToUtf8(body);
    Exchange(utf8);
  }

  Bytes ResponseBody() override { return body_; }
  Text GetAllResponseHeaders() override { return headerText_; }
  std::int32_t Status() override { return status_; }

 private:
  enum class ProxySetting { kEnvironment, kDirect, kNamed };

  void ClearResponse() {
    body_ = Bytes();
    headerText_ = Text();
    status_ = 0;
  }

  // Sends the prepared request, follows its redirects and keeps the final
  // response; on any failure the response stays empty.
  void Exchange(std::string_view body) {
    ClearResponse();
    std::vector<Header> headers = std::move(headers_);
    headers_.clear();
    if (!opened_) return;
    opened_ = false;

    deadline_ = ExchangeDeadline();
    const bool bodiless = method_ == "HEAD" || method_ == "CONNECT";
    Hop hop{method_, url_, bodiless ? std::string_view() : body};
    for (int redirects = 0;; ++redirects) {
      Round round;
      std::string location;
      if (!Perform(hop, headers, round, location)) return;
      if (!followRedirects_ || location.empty() ||
          !IsFollowedRedirect(round.status)) {
        body_ = Bytes(std::move(round.body));
        headerText_ = HeaderBytesToText(round.headerBlock);
        status_ = round.status;
        return;
      }
      if (redirects == kMaxRedirects) return;
      const auto from = ParseUrl(curl_, hop.url);
      const auto to = ParseUrl(curl_, location);
      if (!from || !to) return;
      const bool toGet = round.status == 303
                             ? hop.method != "HEAD"
                             : (round.status <= 302 && hop.method == "POST");
      if (toGet) {
        hop.method = "GET";
        hop.body = {};
      }
      if (!SameOrigin(*from, *to)) {
        std::erase_if(headers, [](const Header& h) {
          return NameIs(h, "Authorization") || NameIs(h, "Cookie");
        });
      }
      hop.url = std::move(location);
    }
  }

  // When the exchange that starts now must end: the sum of the four bounds
  // after it starts, so that a peer that keeps sending, however slowly, cannot
  // hold the caller beyond them. None while sending or receiving is unbounded.
  std::optional<Clock::time_point> ExchangeDeadline() const {
    if (sendMs_ == 0 || receiveMs_ == 0) return std::nullopt;
    const std::int64_t totalMs = std::int64_t{resolveMs_} + connectMs_ +
                                 sendMs_ + receiveMs_;
    return Clock::now() + std::chrono::milliseconds(totalMs);
  }

  long ConnectBoundMs() const {
    constexpr std::int64_t kNoBound = std::numeric_limits<std::int32_t>::max();
    const std::int64_t bound = std::int64_t{resolveMs_} + connectMs_;
    return static_cast<long>(bound == 0 ? kNoBound : std::min(bound, kNoBound));
  }

  // Runs one request-response round of `hop`. Returns whether a whole
  // response came back; `location` receives where a redirect points.
  bool Perform(const Hop& hop, const std::vector<Header>& headers, Round& round,
               std::string& location) {
    // A handle fresh from curl_easy_init is already in the reset state.
    if (easyUsed_) curl_.easyReset(easy_.get());
    easyUsed_ = true;
    HeaderLists lists(curl_);
    if (!BuildHeaderLists(curl_, headers, lists)) return false;

    CURL* const easy = easy_.get();
    bool ok = true;
    const auto set = [&](CURLoption option, auto value) {
      ok = ok && curl_.easySetopt(easy, option, value) == CURLE_OK;
    };
    set(CURLOPT_URL, hop.url.c_str());
    set(CURLOPT_PROTOCOLS_STR, kWebProtocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, kWebProtocols);
    set(CURLOPT_FOLLOWLOCATION, 0L);
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    set(CURLOPT_NOSIGNAL, 1L);
    // Nothing stays behind in the thread's multi handle.
    set(CURLOPT_FORBID_REUSE, 1L);
    set(CURLOPT_DNS_CACHE_TIMEOUT, 0L);
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
    set(CURLOPT_HTTPHEADER, lists.server.get());
    set(CURLOPT_PROXYHEADER, lists.proxy.get());
    set(CURLOPT_CONNECTTIMEOUT_MS, ConnectBoundMs());
    constexpr std::int32_t kPeerErrors =
        kIgnoreUnknownAuthority | kIgnoreWrongUsage | kIgnoreInvalidDate;
    set(CURLOPT_SSL_VERIFYPEER,
        (ignoredCertificateErrors_ & kPeerErrors) != 0 ? 0L : 1L);
    set(CURLOPT_SSL_VERIFYHOST,
        (ignoredCertificateErrors_ & kIgnoreInvalidCommonName) != 0 ? 0L : 2L);
    if (proxySetting_ == ProxySetting::kNamed) {
      set(CURLOPT_PROXY, proxy_.c_str());
      set(CURLOPT_NOPROXY, "");
    } else if (proxySetting_ == ProxySetting::kDirect) {
      set(CURLOPT_PROXY, "");
    }

    const bool carriesBody =
        !hop.body.empty() || hop.method == "POST" || hop.method == "PUT";
    if (hop.method == "HEAD") {
      set(CURLOPT_NOBODY, 1L);
    } else if (carriesBody) {
      set(CURLOPT_POST, 1L);
      set(CURLOPT_POSTFIELDS, hop.body.empty() ? "" : hop.body.data());
      set(CURLOPT_POSTFIELDSIZE_LARGE,
          static_cast<curl_off_t>(hop.body.size()));
      if (hop.method != "POST") set(CURLOPT_CUSTOMREQUEST, hop.method.c_str());
    } else {
      set(CURLOPT_HTTPGET, 1L);
      if (hop.method != "GET") set(CURLOPT_CUSTOMREQUEST, hop.method.c_str());
    }
    std::string connectTarget;
    if (hop.method == "CONNECT") {
      const auto parts = ParseUrl(curl_, hop.url);
      if (!parts) return false;
      connectTarget = parts->host + ":" + parts->port;
      set(CURLOPT_REQUEST_TARGET, connectTarget.c_str());
      round.stopAfter2xxHeader = true;
    }

    round.curl = &curl_;
    round.easy = easy;
    round.bodySize = carriesBody ? static_cast<curl_off_t>(hop.body.size()) : 0;
    set(CURLOPT_PREREQFUNCTION, &OnRequestStart);
    set(CURLOPT_PREREQDATA, &round);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &OnProgress);
    set(CURLOPT_XFERINFODATA, &round);
    set(CURLOPT_HEADERFUNCTION, &OnHeaderLine);
    set(CURLOPT_HEADERDATA, &round);
    set(CURLOPT_WRITEFUNCTION, &OnBodyData);
    set(CURLOPT_WRITEDATA, &round);
    if (!ok) return false;

    const std::optional<CURLcode> result = Run(round);
    bool complete = false;
    if (result) {
      complete = !round.malformed && round.status != 0 &&
                 (*result == CURLE_OK
                      ? round.phase == HeaderPhase::kDone
                      : *result == CURLE_WRITE_ERROR && round.tunnelOpened);
    }
    char* redirectUrl = nullptr;
    if (complete &&
        curl_.easyGetinfo(easy, CURLINFO_REDIRECT_URL, &redirectUrl) ==
            CURLE_OK &&
        redirectUrl != nullptr) {
      location = redirectUrl;
    }
    return complete;
  }

  // Runs the transfer set up on the easy handle on this thread's multi
  // handle until it ends or stalls past the send or receive bound. Returns
  // libcurl's result, or nothing when the transfer was abandoned.
  std::optional<CURLcode> Run(Round& round) {
    CURLM* const multi = ThreadMultiHandle(curl_);
    if (multi == nullptr ||
        curl_.multiAddHandle(multi, easy_.get()) != CURLM_OK) {
      return std::nullopt;
    }
    const std::optional<CURLcode> result = Drive(multi, round);
    curl_.multiRemoveHandle(multi, easy_.get());
    return result;
  }

  std::optional<CURLcode> Drive(CURLM* multi, Round& round) {
    for (;;) {
      int running = 0;
      if (curl_.multiPerform(multi, &running) != CURLM_OK) {
        return std::nullopt;
      }
      if (running == 0) break;
      std::int64_t waitMs = kLongestWaitMs;
      if (deadline_) {
        const std::int64_t leftMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(
                *deadline_ - Clock::now())
                .count();
        if (leftMs <= 0) return std::nullopt;
        waitMs = std::min(waitMs, leftMs);
      }
      if (round.requestStarted) {
        const std::int32_t bound = round.Sending() ? sendMs_ : receiveMs_;
        if (bound > 0) {
          const std::int64_t idleMs =
              std::chrono::duration_cast<std::chrono::milliseconds>(
                  Clock::now() - round.lastProgress)
                  .count();
          if (idleMs >= bound) return std::nullopt;
          waitMs = std::min(waitMs, bound - idleMs);
        }
      }
      if (curl_.multiPoll(multi, nullptr, 0, static_cast<int>(waitMs),
                          nullptr) != CURLM_OK) {
        return std::nullopt;
      }
    }
    int queued = 0;
    while (const CURLMsg* message = curl_.multiInfoRead(multi, &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) {
        return message->data.result;
      }
    }
    return std::nullopt;
  }

  const CurlLibrary& curl_;
  EasyHandle easy_;
  bool easyUsed_ = false;
  // The end of the exchange under way, if it has one.
  std::optional<Clock::time_point> deadline_;

  std::int32_t resolveMs_ = kDefaultResolveMs;
  std::int32_t connectMs_ = kDefaultConnectMs;
  std::int32_t sendMs_ = kDefaultSendMs;
  std::int32_t receiveMs_ = kDefaultReceiveMs;
  ProxySetting proxySetting_ = ProxySetting::kEnvironment;
  std::string proxy_;
  bool followRedirects_ = true;
  std::int32_t ignoredCertificateErrors_ = 0;

  // The request being prepared.
  std::vector<Header> headers_;
  bool opened_ = false;
  std::string method_;
  std::string url_;

  // The last response.
  Bytes body_;
  Text headerText_;
  std::int32_t status_ = 0;
};

}  // namespace

std::shared_ptr<HttpRequestOperations> CreateCurlHttpRequest(
    const CurlLibrary* curl) {
  if (curl == nullptr) return nullptr;
  CurlHttpRequest::EasyHandle easy(curl->easyInit(), curl->easyCleanup);
  if (!easy) return nullptr;
  return std::make_shared<CurlHttpRequest>(*curl, std::move(easy));
}

std::shared_ptr<HttpRequestOperations> CreateCurlHttpRequest() {
  return CreateCurlHttpRequest(SystemCurlLibrary());
}

}  // namespace tarnwick
