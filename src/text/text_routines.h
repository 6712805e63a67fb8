// Small routines built on the text primitives: cutting at markers, joining
// without repeats, splitting into characters, finding in an array.
#ifndef TARNWICK_TEXT_TEXT_ROUTINES_H_
#define TARNWICK_TEXT_TEXT_ROUTINES_H_

#include <cstdint>

#include "text/text.h"
#include "text/text_array.h"

namespace tarnwick {

// The marker word that stands for one double quote inside the markers of
// TextBetween: "#" followed by the two code page 936 characters for "quote".
inline constexpr char kQuoteToken[] = "#\xD2\xFD\xBA\xC5";

// The bytes of `text` before the first `marker` found at or after `start`
// (a start of 0 or below means 1); the result always begins at the start of
// `text`. Empty when the marker is not found.
Text TextLeftOf(const Text& text, const Text& marker, std::int32_t start = 1,
                bool ignoreCase = false);

// The bytes between the first `firstMarker` found at or after `start` and the
// next `secondMarker` after it. In both markers kQuoteToken stands for a
// double quote. Empty when either marker is not found.
Text TextBetween(const Text& text, const Text& firstMarker,
                 const Text& secondMarker, std::int32_t start = 1,
                 bool ignoreCase = false);

// `text` taken apart at `delimiter` (splitByDelimiter true) or into its
// characters (false), every exact repeat of an earlier item dropped, and the
// rest joined with `delimiter`.
Text JoinUnique(const Text& text, const Text& delimiter, bool splitByDelimiter);

// Replaces the content of `characters` with the characters of `text`: two
// bytes for a byte above 0x80 that is not the last byte, two for CR LF, else
// one. Returns their number.
std::int32_t SplitIntoCharacters(const Text& text, TextArray& characters);

// The position (from 1) of the first member of `items` equal to `text`, or -1.
std::int32_t FindInArray(const TextArray& items, const Text& text);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_TEXT_ROUTINES_H_
