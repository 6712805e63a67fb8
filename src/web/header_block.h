// The header block every request carries: the caller's header lines, joined
// by CR LF, completed with browser-like defaults for whatever it lacks.
#ifndef TARNWICK_WEB_HEADER_BLOCK_H_
#define TARNWICK_WEB_HEADER_BLOCK_H_

#include <cstdint>

#include "text/text.h"
#include "web/http_request_object.h"

namespace tarnwick {

// Appends the default Accept, Referer (`url`), Accept-Language and User-Agent
// lines whose markers ("Accept:", ...) occur nowhere in `block`, matched
// case-sensitively anywhere in it. For POST (`method` 1) "content-type" is
// first rewritten as "Content-Type" and a form Content-Type line appended when
// none is found. REQUIRES: `method` already brought into 0..7.
void CompleteHeaderBlock(Text& block, const Text& url, std::int32_t method);

// Hands the Cookie header (when `cookiesGiven`, even empty) and then each
// non-empty line of `block` to `object`'s SetRequestHeader, in order. A block
// without CR LF goes over as one header.
void ApplyHeaderBlock(HttpRequestObject& object, const Text& block,
                      const Text& cookies, bool cookiesGiven);

// The text before the first ":" of `line`, trimmed of blanks; empty when the
// line has no colon.
Text HeaderName(const Text& line);

// The text after the first ":" of `line`, trimmed of blanks; empty when the
// line has no colon. Later colons stay in the value.
Text HeaderValue(const Text& line);

}  // namespace tarnwick

#endif  // TARNWICK_WEB_HEADER_BLOCK_H_
