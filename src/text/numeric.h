// Numeric operations on 32-bit integers and doubles with fixed, portable
// results.
#ifndef TARNWICK_TEXT_NUMERIC_H_
#define TARNWICK_TEXT_NUMERIC_H_

#include <cstdint>
#include <initializer_list>

namespace tarnwick {

// The integer part of `x`, toward zero. Values beyond the 32-bit range
// saturate; NaN gives 0.
std::int32_t TruncateToInteger(double x);

// The remainder of a / b with the sign of a. REQUIRES: b != 0.
double Modulo(double a, double b);

// `v` shifted left by n mod 32 bits; bits shifted out are lost.
std::int32_t ShiftLeft(std::int32_t v, std::int32_t n);

// `v` shifted right by n mod 32 bits, copying the sign bit in.
std::int32_t ShiftRight(std::int32_t v, std::int32_t n);

// The bitwise and of all values (two or more).
std::int32_t BitAnd(std::initializer_list<std::int32_t> values);

// The low 8 bits of `v`.
std::uint8_t ToByte(std::int32_t v);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_NUMERIC_H_
