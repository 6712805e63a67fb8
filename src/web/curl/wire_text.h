// How the texts of an HTTP exchange go on the wire and come off it: the
// request's texts (code page 936) go out as UTF-8, the response's header
// bytes come back as code page 936 text.
#ifndef TARNWICK_WEB_CURL_WIRE_TEXT_H_
#define TARNWICK_WEB_CURL_WIRE_TEXT_H_

#include <string>
#include <string_view>

#include "text/text.h"

namespace tarnwick {

// `text`, read as code page 936, in UTF-8. Bytes that code page 936 cannot
// read come out as the code page functions substitute them (U+FFFD).
std::string Cp936ToUtf8(const Text& text);

// `url` (code page 936) in UTF-8, with every byte after the authority that is
// not printable ASCII (controls, space, DEL, 0x80-0xFF) percent-encoded as
// "%XX". The scheme and the authority stay as they are, so that a non-ASCII
// host name reaches the name lookup as UTF-8. A URL without "://" is encoded
// from its first byte on.
std::string EncodeUrlForWire(const Text& url);

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Header lines as received, joined by CR LF, as code page 936 text: each line
// is read as UTF-8 when it is valid UTF-8, else as Latin-1 (one character per
// byte), so that one line's encoding does not decide another's. Characters
// that code page 936 lacks become "?". The text ends at a zero byte, as every
// Text does; callers pass bytes without one.
Text HeaderBytesToText(std::string_view bytes);

}  // namespace tarnwick

#endif  // TARNWICK_WEB_CURL_WIRE_TEXT_H_
