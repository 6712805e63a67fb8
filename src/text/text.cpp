#include "text/text.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tarnwick {

namespace {

std::string_view BeforeFirstZero(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

}  // namespace

Text::Text(std::string_view bytes) : bytes_(BeforeFirstZero(bytes)) {}

Text::Text(const char* bytes) : bytes_(bytes == nullptr ? "" : bytes) {}

Text::Text(std::string&& bytes) : bytes_(std::move(bytes)) {
  const std::size_t zero = bytes_.find('\0');
  if (zero != std::string::npos) bytes_.resize(zero);
}

std::int32_t TextLength(const Text& t) {
  constexpr std::size_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::min(t.size(), kMax));
}

Text TextLeft(const Text& t, std::int32_t n) {
  if (n <= 0) return Text();
  return Text(t.view().substr(0, static_cast<std::size_t>(n)));
}

Text TextRight(const Text& t, std::int32_t n) {
  if (n <= 0) return Text();
  const std::size_t take = std::min(t.size(), static_cast<std::size_t>(n));
  return Text(t.view().substr(t.size() - take));
}

Text TextMid(const Text& t, std::int32_t start, std::int32_t n) {
  if (start < 1 || n <= 0 || start > TextLength(t)) return Text();
  return Text(t.view().substr(static_cast<std::size_t>(start) - 1,
                              static_cast<std::size_t>(n)));
}

bool TextEqual(const Text& a, const Text& b) { return a.view() == b.view(); }

std::int32_t TextCharCode(const Text& t, std::int32_t pos) {
  if (pos < 1 || pos > TextLength(t)) return 0;
  return static_cast<std::int8_t>(t[static_cast<std::size_t>(pos) - 1]);
}

Text TextSpaces(std::int32_t n) {
  if (n <= 0) return Text();
  return Text(std::string(static_cast<std::size_t>(n), ' '));
}

}  // namespace tarnwick
