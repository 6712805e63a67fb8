// Conversion between multibyte texts and UTF-16, through the platform's code
// page functions.
#ifndef TARNWICK_TEXT_CODE_PAGE_H_
#define TARNWICK_TEXT_CODE_PAGE_H_

#include <cstdint>

#include "text/bytes.h"
#include "text/text.h"

namespace tarnwick {

// The UTF-8 text `t` as a code page 936 text. Invalid UTF-8 and characters
// that code page 936 lacks come out as the code page functions substitute
// them.
Text Utf8ToCp936(const Text& t);

// `t`, read in `codePage` (65001 when useCodePage is false), as UTF-16
// little-endian code units followed by one zero unit. Empty for an empty `t`.
Bytes TextToWide(const Text& t, std::int32_t codePage, bool useCodePage);

// The UTF-16 little-endian text in `w` (ending at its first zero unit, or at
// its end) written in `codePage` (0, the ANSI code page, when useCodePage is
// false). Empty for an empty `w`.
Text WideToText(const Bytes& w, std::int32_t codePage, bool useCodePage);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_CODE_PAGE_H_
