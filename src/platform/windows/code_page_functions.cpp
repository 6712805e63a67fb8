// The code page functions of the platform, called as they are. UTF-16 code
// units travel as char16_t here and as wchar_t there: the same 16-bit units.
#include "platform/code_page_functions.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tarnwick::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                 const char* source, std::int32_t sourceLength,
                                 char16_t* destination, std::int32_t capacity) {
  return ::MultiByteToWideChar(codePage, flags, source, sourceLength,
                               reinterpret_cast<wchar_t*>(destination),
                               capacity);
}

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                 const char16_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t capacity,
                                 const char* defaultChar,
                                 bool* usedDefaultChar) {
  BOOL usedDefault = FALSE;
  const int written = ::WideCharToMultiByte(
      codePage, flags, reinterpret_cast<const wchar_t*>(source), sourceLength,
      destination, capacity, defaultChar,
      usedDefaultChar != nullptr ? &usedDefault : nullptr);
  if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault != FALSE;
  return written;
}

}  // namespace tarnwick::platform
