// The platform's code page functions. On Windows these forward to the real
// MultiByteToWideChar / WideCharToMultiByte; elsewhere they are our own, with
// the same contracts:
//
// - code pages 65001 (UTF-8), 936 and 0 (the ANSI code page, 936 here);
// - a source length of -1 means up to and including the terminating zero;
// - a capacity of 0 writes nothing and returns the units (bytes) the
//   conversion yields; otherwise at most `capacity` units are written and the
//   number written is returned, or 0 when they do not fit or the code page is
//   not served;
// - flags 0: invalid UTF-8 becomes U+FFFD per maximal invalid subsequence, a
//   character code page 936 lacks becomes "?" per UTF-16 code unit.
#ifndef TARNWICK_PLATFORM_CODE_PAGE_FUNCTIONS_H_
#define TARNWICK_PLATFORM_CODE_PAGE_FUNCTIONS_H_

#include <cstdint>

namespace tarnwick::platform {

inline constexpr std::uint32_t kCodePageAnsi = 0;
inline constexpr std::uint32_t kCodePage936 = 936;
inline constexpr std::uint32_t kCodePageUtf8 = 65001;

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                 const char* source, std::int32_t sourceLength,
                                 char16_t* destination, std::int32_t capacity);

// `defaultChar` and `usedDefaultChar` must be null, as for code page 65001 on
// the platform.
std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                 const char16_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t capacity,
                                 const char* defaultChar,
                                 bool* usedDefaultChar);

}  // namespace tarnwick::platform

#endif  // TARNWICK_PLATFORM_CODE_PAGE_FUNCTIONS_H_
