// What every differential fuzz target shares: a failed comparison prints both
// sides and aborts, so libFuzzer records the input as a finding.
#ifndef TARNWICK_TESTS_FUZZ_FUZZ_CHECK_H_
#define TARNWICK_TESTS_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarnwick::fuzz {

inline std::string Escaped(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char buffer[5];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      out += buffer;
    }
  }
  return out;
}

inline std::string Escaped(const std::vector<std::string>& items) {
  std::string out = "[";
  for (const std::string& item : items) out += "\"" + Escaped(item) + "\" ";
  return out + "]";
}

inline std::string Escaped(long long n) { return std::to_string(n); }

template <typename T>
void Check(const char* what, const T& production, const T& reference) {
  if (production == reference) return;
  std::fprintf(stderr, "%s differs:\n  production: %s\n  reference:  %s\n",
               what, Escaped(production).c_str(), Escaped(reference).c_str());
  std::abort();
}

}  // namespace tarnwick::fuzz

#endif  // TARNWICK_TESTS_FUZZ_FUZZ_CHECK_H_
