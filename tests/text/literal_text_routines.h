// Literal versions of the text routines and of Base64, over std::string and
// the literal stepping operations: slow and plain, for checking the
// production code.
#ifndef TARNWICK_TESTS_TEXT_LITERAL_TEXT_ROUTINES_H_
#define TARNWICK_TESTS_TEXT_LITERAL_TEXT_ROUTINES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "text/literal_text_search.h"

namespace tarnwick::literal {

inline std::string Left(const std::string& t, std::int64_t n) {
  if (n <= 0) return "";
  return t.substr(0, static_cast<std::size_t>(n));
}

inline std::string Right(const std::string& t, std::int64_t n) {
  if (n <= 0) return "";
  if (static_cast<std::size_t>(n) >= t.size()) return t;
  return t.substr(t.size() - static_cast<std::size_t>(n));
}

inline std::string Mid(const std::string& t, std::int64_t start,
                       std::int64_t n) {
  if (start < 1 || n <= 0 || start > static_cast<std::int64_t>(t.size())) {
    return "";
  }
  return t.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}

inline std::string LeftOf(const std::string& text, const std::string& marker,
                          std::int32_t start, bool ignoreCase) {
  if (start <= 0) start = 1;
  const std::int32_t p = Find(text, marker, start, ignoreCase);
  if (p == -1) return "";
  return Left(text, p - 1);
}

inline std::string Between(const std::string& text, std::string first,
                           std::string second, std::int32_t start,
                           bool ignoreCase) {
  const std::string quote = "#\xD2\xFD\xBA\xC5";
  first = Replace(first, quote, "\"", 1, -1, true);
  second = Replace(second, quote, "\"", 1, -1, true);
  const std::int32_t p = Find(text, first, start, ignoreCase);
  if (p == -1) return "";
  const std::int64_t s = static_cast<std::int64_t>(p) + first.size();
  if (s > static_cast<std::int64_t>(text.size()) + 1) return "";
  const std::int32_t e =
      Find(text, second, static_cast<std::int32_t>(s), ignoreCase);
  if (e == -1) return "";
  return Mid(text, s, e - s);
}

inline std::vector<std::string> SplitIntoCharacters(const std::string& text) {
  std::vector<std::string> out;
  const std::size_t n = text.size();
  std::size_t i = 1;
  while (i <= n) {
    std::size_t k = 1;
    const auto b = static_cast<unsigned char>(text[i - 1]);
    if (i == n) {
      k = 1;
    } else if (b > 0x80) {
      k = 2;
    } else if (b == 0x0D && text[i] == 0x0A) {
      k = 2;
    }
    out.push_back(text.substr(i - 1, k));
    i += k;
  }
  return out;
}

inline std::int32_t FindInArray(const std::vector<std::string>& items,
                                const std::string& text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<std::int32_t>(i + 1);
  }
  return -1;
}

inline std::string JoinUnique(const std::string& text,
                              const std::string& delimiter, bool split) {
  const std::vector<std::string> items =
      split ? Split(text, delimiter, std::nullopt) : SplitIntoCharacters(text);
  std::vector<std::string> seen;
  std::string result;
  for (const std::string& item : items) {
    if (FindInArray(seen, item) == -1) {
      seen.push_back(item);
      result += item + delimiter;
    }
  }
  return Left(result, static_cast<std::int64_t>(result.size()) -
                          static_cast<std::int64_t>(delimiter.size()));
}

// Base64 as its steps read: pad with zero bytes to a multiple of three,
// encode every group, then overwrite the padding characters with "=".
inline std::string Base64(const std::string& input) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::size_t n = input.size();
  if (n < 1) return "";
  const std::size_t r = n % 3;
  std::string bytes = input;
  if (r != 0) bytes.append(3 - r, '\0');
  std::string out(bytes.size() * 4 / 3, ' ');
  for (std::size_t i = 0, j = 0; i < bytes.size(); i += 3, j += 4) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    const auto b2 = static_cast<unsigned char>(bytes[i + 2]);
    out[j] = kAlphabet[b0 >> 2];
    out[j + 1] = kAlphabet[((b0 & 3) << 4) + (b1 >> 4)];
    out[j + 2] = kAlphabet[((b1 & 15) << 2) + (b2 >> 6)];
    out[j + 3] = kAlphabet[b2 & 63];
  }
  if (r == 1) out.replace(out.size() - 2, 2, "==");
  if (r == 2) out.replace(out.size() - 1, 1, "=");
  return out;
}

}  // namespace tarnwick::literal

#endif  // TARNWICK_TESTS_TEXT_LITERAL_TEXT_ROUTINES_H_
