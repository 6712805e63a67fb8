#include "text/code_page.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "platform/code_page_functions.h"

namespace tarnwick {

// The intermediate holds UTF-16 code units in little-endian order, which is
// the machine's own order on every platform the tool runs on; the units are
// written and read in place.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr std::int32_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();

// The zeroed bytes of `bytes` as `count` code units, in place. The memmove of
// the storage onto itself begins the lifetime of the char16_t objects there.
char16_t* UnitsInPlace(Bytes& bytes, std::size_t count) {
  std::memmove(bytes.data(), bytes.data(), count * 2);
  return std::launder(reinterpret_cast<char16_t*>(bytes.data()));
}

// The size query and the conversion of TextToWide: `t` read in `codePage`
// into the n units that `place(n)` gives. Returns n, or 0 when the text gives
// nothing (empty, or a failed query or conversion).
template <typename Place>
std::int32_t TextToUnits(const Text& t, std::uint32_t codePage, Place place) {
  if (t.empty()) return 0;
  const std::int32_t n =
      platform::MultiByteToWideChar(codePage, 0, t.c_str(), -1, nullptr, 0);
  if (n <= 0 || n > kMaxInt32 / 2) return 0;
  char16_t* units = place(n);
  if (platform::MultiByteToWideChar(codePage, 0, t.c_str(), -1, units, n) !=
      n) {
    return 0;
  }
  return n;
}

// The size query and the conversion of WideToText, for `units` that end at a
// zero unit. The intermediate buffers of a conversion are allocated for it and
// given back when it returns: a large text's working memory (its UTF-16 units
// and the m * 2 bytes) does not outlive the call.
Text UnitsToText(const char16_t* units, std::uint32_t codePage) {
  // The size is asked of the ANSI code page whatever the target; twice that
  // is enough for code page 936.
  const std::int32_t m = platform::WideCharToMultiByte(
      platform::kCodePageAnsi, 0, units, -1, nullptr, 0, nullptr, nullptr);
  if (m <= 0 || m > kMaxInt32 / 2) return Text();
  const std::int32_t c = m * 2;

  // A target code page that is not served, or whose text does not fit in c
  // bytes, gives nothing rather than the spaces or a cut-off text.
  const auto buffer =
      std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(c));
  const std::int32_t written = platform::WideCharToMultiByte(
      codePage, 0, units, -1, buffer.get(), c, nullptr, nullptr);
  if (written == 0) return Text();
  // A successful conversion of a zero-terminated source ends with the zero
  // byte, so the text before the first zero lies within the bytes written,
  // and the buffer needs no filling beforehand.
  return Text(
      std::string_view(buffer.get(), static_cast<std::size_t>(written)));
}

}  // namespace

Text Utf8ToCp936(const Text& t) {
  std::unique_ptr<char16_t[]> units;
  // One unit more than asked, zero: the units end at a zero unit even if the
  // conversion's last one were not.
  const std::int32_t n =
      TextToUnits(t, platform::kCodePageUtf8, [&](std::int32_t count) {
        units = std::make_unique_for_overwrite<char16_t[]>(
            static_cast<std::size_t>(count) + 1);
        units[static_cast<std::size_t>(count)] = 0;
        return units.get();
      });
  if (n == 0) return Text();
  return UnitsToText(units.get(), platform::kCodePage936);
}

Bytes TextToWide(const Text& t, std::int32_t codePage, bool useCodePage) {
  if (!useCodePage) codePage = platform::kCodePageUtf8;
  Bytes buffer;
  const std::int32_t n = TextToUnits(
      t, static_cast<std::uint32_t>(codePage), [&](std::int32_t count) {
        buffer = BytesZeros(count * 2);
        return UnitsInPlace(buffer, static_cast<std::size_t>(count));
      });
  if (n == 0) return Bytes();
  return buffer;
}

Text WideToText(const Bytes& w, std::int32_t codePage, bool useCodePage) {
  if (!useCodePage) codePage = platform::kCodePageAnsi;
  const std::size_t unitCount = w.size() / 2;
  if (unitCount == 0) return Text();
  // The units are read in place when they end with a zero unit, as the
  // results of TextToWide do; otherwise from a terminated copy.
  const char16_t* units = nullptr;
  std::unique_ptr<char16_t[]> copy;
  const bool aligned =
      reinterpret_cast<std::uintptr_t>(w.data()) % alignof(char16_t) == 0;
  if (aligned && w.data()[2 * unitCount - 2] == 0 &&
      w.data()[2 * unitCount - 1] == 0) {
    units = reinterpret_cast<const char16_t*>(w.data());
  } else {
    copy = std::make_unique_for_overwrite<char16_t[]>(unitCount + 1);
    std::memcpy(copy.get(), w.data(), unitCount * 2);
    copy[unitCount] = 0;
    units = copy.get();
  }
  return UnitsToText(units, static_cast<std::uint32_t>(codePage));
}

}  // namespace tarnwick
