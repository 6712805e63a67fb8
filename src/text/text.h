// Text: a byte string in code page 936, the character set every routine of
// Tarnwick works in.
//
// A Text never holds a zero byte; constructing one from bytes keeps only those
// before the first zero. The absent text and the empty text are one value.
// Bytes 0x80-0xFF begin a two-byte character whose second byte is the next
// byte, whatever it is; positions and lengths count bytes, from 1.
//
// Chinese constants are spelled as their code page 936 bytes ("\xD6\xD0" for
// U+4E2D), never as UTF-8 source text.
#ifndef TARNWICK_TEXT_TEXT_H_
#define TARNWICK_TEXT_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

class Text {
 public:
  Text() = default;
  // Keeps the bytes of `bytes` before its first zero byte.
  Text(std::string_view bytes);  // NOLINT(google-explicit-constructor)
  Text(const char* bytes);       // NOLINT(google-explicit-constructor)
  Text(const std::string& bytes) // NOLINT(google-explicit-constructor)
      : Text(std::string_view(bytes)) {}
  // Takes over `bytes`, cut at its first zero byte.
  explicit Text(std::string&& bytes);

  // The bytes, without the terminating zero.
  std::string_view view() const { return bytes_; }
  // The bytes followed by a terminating zero; valid while this Text lives
  // unchanged.
  const char* c_str() const { return bytes_.c_str(); }
  const std::string& str() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  unsigned char operator[](std::size_t i) const {
    return static_cast<unsigned char>(bytes_[i]);
  }

  friend bool operator==(const Text&, const Text&) = default;

 private:
  std::string bytes_;
};

// The number of bytes of `t`; 0 for the empty text. Saturates at INT32_MAX.
std::int32_t TextLength(const Text& t);

// The first `n` bytes of `t`: empty when n <= 0, all of `t` when n >= length.
// May split a two-byte character.
Text TextLeft(const Text& t, std::int32_t n);

// The last `n` bytes of `t`: empty when n <= 0, all of `t` when n >= length.
Text TextRight(const Text& t, std::int32_t n);

// At most `n` bytes of `t` from position `start` (1-based). Empty when
// start < 1, start > length or n <= 0; stops at the end of `t`.
Text TextMid(const Text& t, std::int32_t start, std::int32_t n);

// The bytes of every part, in order; parts are Text or string literals.
namespace text_detail {
inline std::string_view PartView(const Text& t) { return t.view(); }
inline std::string_view PartView(const char* s) { return s; }
inline std::string_view PartView(std::string_view s) {
  return s.substr(0, s.find('\0'));
}
}  // namespace text_detail

template <typename... Parts>
Text TextConcat(const Parts&... parts) {
  std::string joined;
  joined.reserve((text_detail::PartView(parts).size() + ... + 0));
  (joined.append(text_detail::PartView(parts)), ...);
  return Text(std::move(joined));
}

// Byte-wise, case-sensitive equality.
bool TextEqual(const Text& a, const Text& b);

// The byte at position `pos` read as a signed 8-bit value (0x80-0xFF give
// -128..-1); 0 when pos is outside 1..length.
std::int32_t TextCharCode(const Text& t, std::int32_t pos = 1);

// `n` spaces (0x20); empty when n <= 0.
Text TextSpaces(std::int32_t n);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_TEXT_H_
