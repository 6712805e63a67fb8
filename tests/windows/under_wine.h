// Whether the test runs under Wine rather than Windows itself: Wine's ntdll
// exports wine_get_version. Tests that only fail because of a gap in Wine
// skip themselves there, saying which gap.
#ifndef TARNWICK_TESTS_WINDOWS_UNDER_WINE_H_
#define TARNWICK_TESTS_WINDOWS_UNDER_WINE_H_

#include <windows.h>

namespace tarnwick::testing {

inline bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace tarnwick::testing

#endif  // TARNWICK_TESTS_WINDOWS_UNDER_WINE_H_
