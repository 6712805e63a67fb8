// Bytes: a length and that many bytes 0-255, zero bytes allowed. The absent
// value and the empty value are one value.
#ifndef TARNWICK_TEXT_BYTES_H_
#define TARNWICK_TEXT_BYTES_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace tarnwick {

class Bytes {
 public:
  Bytes() = default;
  explicit Bytes(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  explicit Bytes(std::span<const std::uint8_t> bytes)
      : bytes_(bytes.begin(), bytes.end()) {}
  // The bytes of `s`, zero bytes included.
  static Bytes FromString(std::string_view s);

  const std::uint8_t* data() const { return bytes_.data(); }
  std::uint8_t* data() { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  std::span<const std::uint8_t> span() const { return bytes_; }
  // The bytes seen as chars, zero bytes included.
  std::string_view view() const {
    return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
  }
  std::vector<std::uint8_t>& vector() { return bytes_; }
  const std::vector<std::uint8_t>& vector() const { return bytes_; }

  friend bool operator==(const Bytes&, const Bytes&) = default;

 private:
  std::vector<std::uint8_t> bytes_;
};

// The number of bytes; 0 for the empty value. Saturates at INT32_MAX.
std::int32_t BytesLength(const Bytes& b);

// At most `n` bytes of `b` from offset start - 1 clamped to 0..length (a start
// below 1 reads from the first byte); n < 0 counts as 0.
Bytes BytesMid(const Bytes& b, std::int32_t start, std::int32_t n);

// The bytes of every part, in order.
template <typename... Parts>
Bytes BytesConcat(const Parts&... parts) {
  std::vector<std::uint8_t> joined;
  joined.reserve((static_cast<const Bytes&>(parts).size() + ... + 0));
  (joined.insert(joined.end(), parts.vector().begin(), parts.vector().end()),
   ...);
  return Bytes(std::move(joined));
}

// Same length and same bytes.
bool BytesEqual(const Bytes& a, const Bytes& b);

// `n` zero bytes; empty when n <= 0.
Bytes BytesZeros(std::int32_t n);

// The bytes of `t`, without a terminating zero.
Bytes TextToBytes(const Text& t);

// The bytes of `b` before its first zero byte, as a Text.
Text BytesToText(const Bytes& b);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_BYTES_H_
