// TextArray: an ordered sequence of Text that grows at its end. Positions
// that routines report (FindInArray) count from 1; in C++ code the vector's
// own indexing, from 0, is used.
#ifndef TARNWICK_TEXT_TEXT_ARRAY_H_
#define TARNWICK_TEXT_TEXT_ARRAY_H_

#include <cstdint>
#include <vector>

#include "text/text.h"

namespace tarnwick {

using TextArray = std::vector<Text>;

// The number of elements. Saturates at INT32_MAX.
std::int32_t ArrayCount(const TextArray& a);

// Appends a copy of `t` to `a`.
void ArrayAppend(TextArray& a, const Text& t);

// Makes `a` empty.
void ArrayClear(TextArray& a);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_TEXT_ARRAY_H_
