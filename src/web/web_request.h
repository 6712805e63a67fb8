// WebRequest: one complete HTTP exchange over the HTTP request object.
//
// Parameters 2 to 17 are the fields of WebRequestOptions, in their order, so a
// call names what it gives:
//   WebRequest(url, {.method = kMethodPost, .postText = body});
// A field left at its default is a parameter not given. Where given-ness
// matters it is explicit: `cookies` is given when it points at a variable,
// `proxyAuthKind`, `requestObject` and `autoMergeCookies` when they hold a
// value. (Every member has an initializer, so a call may name only what it
// gives.) In/out and out parameters point at the caller's own variables; a
// null pointer means the caller does not want that result.
#ifndef TARNWICK_WEB_WEB_REQUEST_H_
#define TARNWICK_WEB_WEB_REQUEST_H_

#include <cstdint>
#include <optional>

#include "text/bytes.h"
#include "text/text.h"
#include "web/http_request_object.h"

namespace tarnwick {

// Indices into the method table.
inline constexpr std::int32_t kMethodGet = 0;
inline constexpr std::int32_t kMethodPost = 1;
inline constexpr std::int32_t kMethodHead = 2;
inline constexpr std::int32_t kMethodPut = 3;
inline constexpr std::int32_t kMethodOptions = 4;
inline constexpr std::int32_t kMethodDelete = 5;
inline constexpr std::int32_t kMethodTrace = 6;
inline constexpr std::int32_t kMethodConnect = 7;

struct WebRequestOptions {
  // 2: index into the method table; outside 0..7 counts as GET.
  std::int32_t method = kMethodGet;
  // 3: the body, sent when postBytes is empty.
  Text postText{};
  // 4 (in/out): sent as the Cookie header and, with autoMergeCookies, merged
  // with the returned cookies; the merge result is written back.
  Text* cookies = nullptr;
  // 5 (out): the name=value pairs the response sets, or the merge result.
  Text* returnedCookies = nullptr;
  // 6 (in/out): header lines joined by CR LF, completed with the defaults.
  Text* extraHeaders = nullptr;
  // 7 (out): the response's header lines.
  Text* returnedHeaders = nullptr;
  // 8 (out): the response's status; 0 after a failed exchange.
  std::int32_t* statusCode = nullptr;
  // 9: true stops redirects being followed.
  bool noRedirect = false;
  // 10: when not empty, sent as the body instead of postText.
  Bytes postBytes{};
  // 11: when not empty, the proxy server to use.
  Text proxyAddress{};
  // 12: -1 keeps the object's own timeouts; 1 or more, seconds per phase;
  // 0 and other negatives, 15 seconds.
  std::int32_t timeoutSeconds = 0;
  // 13, 14: the proxy's Basic authorisation.
  Text proxyUser{};
  Text proxyPassword{};
  // 15: 1 (the default) sends Proxy-Authorization; any other value none.
  std::optional<std::int32_t> proxyAuthKind{};
  // 16: the exchange runs on this object instead of a new one. WebRequest
  // takes its own reference and releases only that.
  std::optional<HttpRequestObject> requestObject{};
  // 17: merge the returned cookies with `cookies` (default true).
  std::optional<bool> autoMergeCookies{};
};

// Runs the exchange and returns a copy of the response body; empty when the
// request object cannot be created or the body cannot be read. When creation
// fails no output is touched. Blocks the calling thread for the exchange.
Bytes WebRequest(const Text& url, const WebRequestOptions& options = {});

// Fills `returnedCookies` with the name=value pairs of the "Set-Cookie: "
// lines of `headers` (exact case), joined by "; ".
void CollectResponseCookies(const Text& headers, Text& returnedCookies);

}  // namespace tarnwick

#endif  // TARNWICK_WEB_WEB_REQUEST_H_
