// The text operations that step over two-byte characters: find, replace,
// split, trim and blank removal.
//
// The stepping rule: a scan moves one byte, or two after a byte with its top
// bit set; a match is tried only where a character begins, counted from the
// scan's start; a lone lead byte (a byte 0x80-0xFF that is the last byte of
// the text) ends the scan, and each operation says what becomes of it.
// Comparisons without regard to case fold A-Z onto a-z only, on every byte of
// the compared stretch, second bytes included. Blanks are 0x20 and A1 A1 only.
#ifndef TARNWICK_TEXT_TEXT_SEARCH_H_
#define TARNWICK_TEXT_TEXT_SEARCH_H_

#include <cstdint>
#include <optional>

#include "text/text.h"
#include "text/text_array.h"

namespace tarnwick {

// The position (from 1, counted from the start of `t`) of the first occurrence
// of `target` at or after `start`, or -1. A start of 0 or below searches from
// the first byte; the scan starts at that byte even when it is the second byte
// of a character. An empty target gives 1 when at least one byte lies at or
// after start, else -1.
std::int32_t TextFind(const Text& t, const Text& target, std::int32_t start = 1,
                      bool ignoreCase = false);

// `t` with occurrences of `target` from `start` on replaced by `replacement`,
// at most `count` of them when count > 0 (no limit when count < 0; count 0
// leaves `t` unchanged). A lone lead byte met between matches is dropped.
// Note the sense of the flag: caseSensitive false folds A-Z.
Text TextReplace(const Text& t, const Text& target, const Text& replacement = {},
                 std::int32_t start = 1, std::int32_t count = -1,
                 bool caseSensitive = true);

// The pieces of `t` between delimiters. An empty piece before the first or
// between two delimiters is kept; a delimiter at the very end adds none. An
// empty delimiter gives `t` as the one piece; an empty `t` gives no piece.
// maxCount, when given, limits the pieces (max(maxCount, 0)); the split then
// ends and the rest of `t` is not returned.
TextArray TextSplit(const Text& t, const Text& delimiter = Text(","),
                    std::optional<std::int32_t> maxCount = std::nullopt);

// `t` without its leading and trailing blanks. A lone lead byte met while
// looking for trailing blanks is cut off, with the blanks before it kept.
Text TextTrim(const Text& t);

// `t` without any blank; a lone lead byte at the end is dropped.
Text TextRemoveBlanks(const Text& t);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_TEXT_SEARCH_H_
