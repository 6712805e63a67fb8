// Base64 (RFC 4648 alphabet, "=" padding, no line breaks).
#ifndef TARNWICK_TEXT_BASE64_H_
#define TARNWICK_TEXT_BASE64_H_

#include "text/bytes.h"
#include "text/text.h"

namespace tarnwick {

// The Base64 text of `input`: 4 * ceil(n / 3) characters; empty for empty
// input. Never fails.
Text Base64Encode(const Bytes& input);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_BASE64_H_
