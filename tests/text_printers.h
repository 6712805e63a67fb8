// Readable GoogleTest output for Text and Bytes: printable ASCII as it is,
// every other byte as \xNN.
#ifndef TARNWICK_TESTS_TEXT_PRINTERS_H_
#define TARNWICK_TESTS_TEXT_PRINTERS_H_

#include <cstdio>
#include <ostream>
#include <string_view>

#include "text/bytes.h"
#include "text/text.h"

namespace tarnwick {

inline void PrintEscaped(std::string_view bytes, std::ostream* os) {
  *os << '"';
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '"') {
      *os << c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      *os << escaped;
    }
  }
  *os << '"';
}

inline void PrintTo(const Text& t, std::ostream* os) { PrintEscaped(t.view(), os); }
inline void PrintTo(const Bytes& b, std::ostream* os) { PrintEscaped(b.view(), os); }

}  // namespace tarnwick

#endif  // TARNWICK_TESTS_TEXT_PRINTERS_H_
