#include "text/code_page.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

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

}  // namespace

Text Utf8ToCp936(const Text& t) {
  const Bytes wide = TextToWide(t, 0, false);
  return WideToText(wide, platform::kCodePage936, true);
}

Bytes TextToWide(const Text& t, std::int32_t codePage, bool useCodePage) {
  if (!useCodePage) codePage = platform::kCodePageUtf8;
  if (t.empty()) return Bytes();
  const auto page = static_cast<std::uint32_t>(codePage);
  const std::int32_t n =
      platform::MultiByteToWideChar(page, 0, t.c_str(), -1, nullptr, 0);
  if (n <= 0 || n > kMaxInt32 / 2) return Bytes();

  Bytes buffer = BytesZeros(n * 2);
  char16_t* units = UnitsInPlace(buffer, static_cast<std::size_t>(n));
  if (platform::MultiByteToWideChar(page, 0, t.c_str(), -1, units, n) != n) {
    return Bytes();
  }
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

  // The size is asked of the ANSI code page whatever the target; twice that
  // is enough for code page 936.
  const std::int32_t m = platform::WideCharToMultiByte(
      platform::kCodePageAnsi, 0, units, -1, nullptr, 0, nullptr, nullptr);
  if (m <= 0 || m > kMaxInt32 / 2) return Text();
  const std::int32_t c = m * 2;

  // c spaces and a terminating zero, as a buffer the conversion can write.
  std::string buffer(static_cast<std::size_t>(c), ' ');
  // A target code page that is not served, or whose text does not fit in c
  // bytes, gives nothing rather than the spaces or a cut-off text.
  if (platform::WideCharToMultiByte(static_cast<std::uint32_t>(codePage), 0,
                                    units, -1, buffer.data(), c, nullptr,
                                    nullptr) == 0) {
    return Text();
  }
  return Text(std::move(buffer));
}

}  // namespace tarnwick
