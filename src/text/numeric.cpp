#include "text/numeric.h"

#include <cmath>
#include <limits>

namespace tarnwick {

namespace {

std::uint32_t ShiftCount(std::int32_t n) {
  return static_cast<std::uint32_t>(n) & 31u;
}

}  // namespace

std::int32_t TruncateToInteger(double x) {
  if (std::isnan(x)) return 0;
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  if (x <= kMin) return std::numeric_limits<std::int32_t>::min();
  if (x >= kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(x);
}

double Modulo(double a, double b) { return std::fmod(a, b); }

std::int32_t ShiftLeft(std::int32_t v, std::int32_t n) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)
                                   << ShiftCount(n));
}

std::int32_t ShiftRight(std::int32_t v, std::int32_t n) {
  return v >> ShiftCount(n);
}

std::int32_t BitAnd(std::initializer_list<std::int32_t> values) {
  std::int32_t result = -1;
  for (std::int32_t v : values) result &= v;
  return result;
}

std::uint8_t ToByte(std::int32_t v) { return static_cast<std::uint8_t>(v); }

}  // namespace tarnwick
