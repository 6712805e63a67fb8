// The HTTP request object over libcurl, for platforms without a scriptable
// HTTP request object of their own.
//
// What the object does with each operation:
//
// - SetTimeouts(resolve, connect, send, receive), in milliseconds, 0 for no
//   limit: name resolution and connection (TLS handshake and a proxy tunnel
//   included) are bounded together by resolve + connect, a part given as 0
//   adding nothing and both 0 meaning no bound beyond the system's own (a
//   name lookup that hangs ends only when the system resolver gives up). Once
//   the request goes out, the exchange is abandoned when no byte has moved for
//   `send` ms while the body is being sent, or for `receive` ms while the
//   response is awaited or read; and, when both of those are bounded, the
//   whole exchange (its redirects included) is abandoned resolve + connect +
//   send + receive ms after Send began, so that a peer trickling bytes cannot
//   hold the caller for longer. A negative value makes the call do nothing.
//   Until SetTimeouts: no resolve limit, connect 60 s, send and receive 30 s.
// - SetProxy(2, address) sends every later request through `address`
//   ("host:port" or a URL), whatever the proxy variables of the environment
//   say; SetProxy(1, ...) goes direct; SetProxy(0, ...) returns to the
//   default, which is the http_proxy / https_proxy / all_proxy / no_proxy
//   variables. An empty address with 2 is ignored.
// - SetRequestHeader adds a header to the request being prepared, which is the
//   one that the next Send sends, whether the header comes before or after the
//   Open. Headers go out in the order set, with their letter case, the value
//   in UTF-8; setting a name again (letter case aside) replaces the value in
//   its first place. Ignored: a name that is not an HTTP token, a value with
//   CR or LF, and Content-Length and Transfer-Encoding, which follow from the
//   body. Proxy-Authorization goes to a proxy only: in the proxied request, or
//   in the CONNECT that opens a tunnel; never to the server.
// - Open(method, url, async) names the request: a method that is an HTTP
//   token (sent as given, letter case included) and an http or https URL
//   (code page 936; characters outside printable ASCII after the host are
//   percent-encoded as UTF-8). It forgets the previous response. Any other
//   method or URL makes the next Send fail. Send blocks whatever `async` says.
// - SetOption(6, 0) stops redirects being followed, any other value restores
//   following (the default): up to 10 redirects, to http or https URLs only,
//   anything else failing the exchange. 301 and 302 turn a POST, and 303 any
//   method but HEAD, into a GET without a body; 307 and 308 repeat the request
//   as it was. A redirect to another scheme, host or port drops the
//   Authorization and Cookie headers. SetOption(4, flags) ignores certificate
//   errors: 0x0100, 0x0200 or 0x2000 accept a certificate that cannot be
//   verified, 0x1000 one issued for another host name. Other options are
//   ignored. Options stay with the object.
// - Send sends over HTTP/1.1 the request prepared since the last Send, with
//   only the headers set and what the protocol needs (Host; Content-Length
//   when there is a body, and always for POST and PUT). A text body goes as
//   UTF-8, a byte body as it is; HEAD and CONNECT send none. HEAD reads no
//   body. CONNECT asks the URL's server for a tunnel to the URL's host and
//   port ("CONNECT host:port"); a 2xx reply ends the exchange after its header
//   with an empty body, and its connection is not used again. Without an Open
//   since the last Send, Send fails.
// - The reads give the final response: its body; its header lines in the
//   order and letter case received, joined by CR LF, without the status line,
//   read as UTF-8 when valid and else as Latin-1, in code page 936; its status.
//   They give empty bytes, the empty text and 0 before a Send and after a
//   failed one. A response whose status line is not "HTTP/x.y NNN ..." or
//   whose header holds a zero byte fails the exchange.
#ifndef TARNWICK_WEB_CURL_CURL_HTTP_REQUEST_H_
#define TARNWICK_WEB_CURL_CURL_HTTP_REQUEST_H_

#include <memory>

#include "web/http_request_object.h"

namespace tarnwick {

struct CurlLibrary;

// A new request object over `curl`, a set-up libcurl (see curl_library.h)
// that outlives the object; null when `curl` is null or libcurl cannot
// provide the object's handles.
std::shared_ptr<HttpRequestOperations> CreateCurlHttpRequest(
    const CurlLibrary* curl);

// A new request object over the system's libcurl, which the first call loads;
// null when libcurl cannot be loaded or cannot provide the object's handles.
std::shared_ptr<HttpRequestOperations> CreateCurlHttpRequest();

}  // namespace tarnwick

#endif  // TARNWICK_WEB_CURL_CURL_HTTP_REQUEST_H_
