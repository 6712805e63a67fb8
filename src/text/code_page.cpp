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

// Working memory of the conversions, kept by each thread for its next
// conversion: a large text then costs no fresh pages (and their faults) on
// every call. A buffer is given back when a conversion needs less than a
// quarter of it (so a thread keeps the memory of one large conversion only
// until its next, smaller one), when it exceeds kMaxKept after a conversion,
// and when the thread ends.
class Scratch {
 public:
  // Room for `count` units, uninitialised; valid until the next request.
  char16_t* Units(std::size_t count) {
    return Reserve(units_, unitCapacity_, count);
  }
  // Room for `count` bytes, uninitialised; valid until the next request.
  char* Bytes(std::size_t count) {
    return Reserve(bytes_, byteCapacity_, count);
  }

  // Gives back the buffers too large to keep.
  void Trim() {
    if (unitCapacity_ * sizeof(char16_t) > kMaxKept) Free(units_, unitCapacity_);
    if (byteCapacity_ > kMaxKept) Free(bytes_, byteCapacity_);
  }

 private:
  static constexpr std::size_t kAlwaysKept = std::size_t{64} << 10;
  static constexpr std::size_t kMaxKept = std::size_t{128} << 20;

  template <typename T>
  static T* Reserve(std::unique_ptr<T[]>& buffer, std::size_t& capacity,
                    std::size_t count) {
    const bool tooLarge =
        capacity * sizeof(T) > kAlwaysKept && count < capacity / 4;
    if (count > capacity || tooLarge) {
      Free(buffer, capacity);
      buffer = std::make_unique_for_overwrite<T[]>(count);
      capacity = count;
    }
    return buffer.get();
  }

  template <typename T>
  static void Free(std::unique_ptr<T[]>& buffer, std::size_t& capacity) {
    buffer.reset();
    capacity = 0;
  }

  std::unique_ptr<char16_t[]> units_;
  std::size_t unitCapacity_ = 0;
  std::unique_ptr<char[]> bytes_;
  std::size_t byteCapacity_ = 0;
};

// This thread's scratch, trimmed when the conversion using it returns.
class ScratchLease {
 public:
  ScratchLease() = default;
  ScratchLease(const ScratchLease&) = delete;
  ScratchLease& operator=(const ScratchLease&) = delete;
  ~ScratchLease() { scratch_.Trim(); }

  Scratch* operator->() { return &scratch_; }

 private:
  static Scratch& ThreadScratch() {
    thread_local Scratch scratch;
    return scratch;
  }

  Scratch& scratch_ = ThreadScratch();
};

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
// zero unit, with the m * 2 bytes of the buffer taken from `scratch`.
Text UnitsToText(const char16_t* units, std::uint32_t codePage,
                 ScratchLease& scratch) {
  // The size is asked of the ANSI code page whatever the target; twice that
  // is enough for code page 936.
  const std::int32_t m = platform::WideCharToMultiByte(
      platform::kCodePageAnsi, 0, units, -1, nullptr, 0, nullptr, nullptr);
  if (m <= 0 || m > kMaxInt32 / 2) return Text();
  const std::int32_t c = m * 2;

  // A target code page that is not served, or whose text does not fit in c
  // bytes, gives nothing rather than the spaces or a cut-off text.
  char* buffer = scratch->Bytes(static_cast<std::size_t>(c));
  const std::int32_t written = platform::WideCharToMultiByte(
      codePage, 0, units, -1, buffer, c, nullptr, nullptr);
  if (written == 0) return Text();
  // A successful conversion of a zero-terminated source ends with the zero
  // byte, so the text before the first zero lies within the bytes written,
  // and the buffer needs no filling beforehand.
  return Text(std::string_view(buffer, static_cast<std::size_t>(written)));
}

}  // namespace

Text Utf8ToCp936(const Text& t) {
  ScratchLease scratch;
  char16_t* units = nullptr;
  // One unit more than asked, zero: the units end at a zero unit even if the
  // conversion's last one were not.
  const std::int32_t n =
      TextToUnits(t, platform::kCodePageUtf8, [&](std::int32_t count) {
        units = scratch->Units(static_cast<std::size_t>(count) + 1);
        units[count] = 0;
        return units;
      });
  if (n == 0) return Text();
  return UnitsToText(units, platform::kCodePage936, scratch);
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
  ScratchLease scratch;
  // The units are read in place when they end with a zero unit, as the
  // results of TextToWide do; otherwise from a terminated copy.
  const char16_t* units = nullptr;
  const bool aligned =
      reinterpret_cast<std::uintptr_t>(w.data()) % alignof(char16_t) == 0;
  if (aligned && w.data()[2 * unitCount - 2] == 0 &&
      w.data()[2 * unitCount - 1] == 0) {
    units = reinterpret_cast<const char16_t*>(w.data());
  } else {
    char16_t* copy = scratch->Units(unitCount + 1);
    std::memcpy(copy, w.data(), unitCount * 2);
    copy[unitCount] = 0;
    units = copy;
  }
  return UnitsToText(units, static_cast<std::uint32_t>(codePage), scratch);
}

}  // namespace tarnwick
