#include "text/text_array.h"

#include <algorithm>
#include <limits>

namespace tarnwick {

std::int32_t ArrayCount(const TextArray& a) {
  constexpr std::size_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::min(a.size(), kMax));
}

void ArrayAppend(TextArray& a, const Text& t) { a.push_back(t); }

void ArrayClear(TextArray& a) { a.clear(); }

}  // namespace tarnwick
