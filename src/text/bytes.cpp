#include "text/bytes.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tarnwick {

Bytes Bytes::FromString(std::string_view s) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(s.data());
  return Bytes(std::vector<std::uint8_t>(first, first + s.size()));
}

std::int32_t BytesLength(const Bytes& b) {
  constexpr std::size_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::min(b.size(), kMax));
}

Bytes BytesMid(const Bytes& b, std::int32_t start, std::int32_t n) {
  const std::int64_t length = BytesLength(b);
  const std::int64_t offset =
      std::clamp<std::int64_t>(static_cast<std::int64_t>(start) - 1, 0, length);
  const std::int64_t take =
      std::min<std::int64_t>(std::max<std::int32_t>(n, 0), length - offset);
  if (take == 0) return Bytes();
  const auto first = b.vector().begin() + offset;
  return Bytes(std::vector<std::uint8_t>(first, first + take));
}

bool BytesEqual(const Bytes& a, const Bytes& b) { return a == b; }

Bytes BytesZeros(std::int32_t n) {
  if (n <= 0) return Bytes();
  return Bytes(std::vector<std::uint8_t>(static_cast<std::size_t>(n), 0));
}

Bytes TextToBytes(const Text& t) { return Bytes::FromString(t.view()); }

Text BytesToText(const Bytes& b) { return Text(b.view()); }

}  // namespace tarnwick
