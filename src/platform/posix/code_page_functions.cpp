// The code page functions for systems without them: UTF-8 and the UTF-16
// side are done by hand, code page 936 through lookup tables built once from
// ICU's "windows-936-2000" converter (the platform's own 936 table, with
// 0x80 <-> U+20AC).
//
// Behaviour with flags 0, as observed on the platform:
//
// UTF-8 -> UTF-16: every ill-formed subsequence becomes one U+FFFD, where a
// subsequence is
//   - a byte that cannot begin a character (80-C1, F5-FF) on its own;
//   - a lead byte whose next byte is not a continuation byte (80-BF), or that
//     ends the input, on its own;
//   - a lead byte with a continuation byte outside the range that lead allows
//     (E0 A0-BF, ED 80-9F, F0 90-BF, F4 80-8F): the two bytes together, the
//     bytes after them being read afresh;
//   - a well-begun character cut short by a non-continuation byte or by the
//     end of the input: all its bytes so far.
// So FF gives one U+FFFD, a final E4 B8 one, the overlong C0 AF two and the
// encoded surrogate ED A0 80 two.
//
// UTF-16 -> 936: a code unit without a character in code page 936 becomes
// "?", each surrogate included, so a character outside the BMP gives "??".
// No best-fit substitutes are made.
//
// UTF-16 -> UTF-8: a lone surrogate becomes U+FFFD (EF BF BD).
//
// 936 -> UTF-16: every two-byte sequence of a lead byte (81-FE) and a trail
// byte (40-7E, 80-FE) has a character. A lead byte followed by anything else,
// or ending the input, becomes "?" (U+003F, the code page's default
// character) on its own, and the byte after it is read afresh.
//
// When the result does not fit in the destination, 0 is returned and the
// destination may hold part of the result. Only flags 0 and no default
// character are served; other calls give 0.
#include "platform/code_page_functions.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace tarnwick::platform {

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr char16_t kDefaultWide = u'?';
constexpr std::uint16_t kDefaultByte = '?';
constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

bool IsUtf8(std::uint32_t codePage) { return codePage == kCodePageUtf8; }

bool Is936(std::uint32_t codePage) {
  return codePage == kCodePage936 || codePage == kCodePageAnsi;
}

// Code page 936 both ways. Read-only once built.
struct Cp936Tables {
  // UTF-16 code unit -> 936: values below 0x100 are one byte, others a lead
  // byte (high) and a trail byte (low); kDefaultByte where 936 has nothing.
  std::array<std::uint16_t, 0x10000> fromUnit;
  // Bytes 80-FF that are characters on their own; 0 for lead bytes.
  std::array<char16_t, 0x80> fromHighByte;
  // lead << 8 | trail -> UTF-16; 0 where the pair is not a character.
  std::array<char16_t, 0x10000> fromPair;
};

// Converts one 936 sequence with `converter`; 0 when it is not exactly one
// BMP character.
char16_t DecodeWithIcu(UConverter* converter, const char* bytes,
                       std::int32_t length) {
  UErrorCode status = U_ZERO_ERROR;
  char16_t unit[2];
  ucnv_resetToUnicode(converter);
  const std::int32_t count =
      ucnv_toUChars(converter, unit, 2, bytes, length, &status);
  if (U_FAILURE(status) || count != 1) return 0;
  return unit[0];
}

// Builds the tables, or returns null when ICU lacks the converter.
std::unique_ptr<const Cp936Tables> BuildCp936Tables() {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("windows-936-2000", &status);
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr,
                      nullptr, &status);
  ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                        nullptr, &status);
  if (U_FAILURE(status)) {
    ucnv_close(converter);
    return nullptr;
  }

  auto tables = std::make_unique<Cp936Tables>();
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    const char single = static_cast<char>(byte);
    tables->fromHighByte[byte - 0x80] = DecodeWithIcu(converter, &single, 1);
  }
  tables->fromPair.fill(0);
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    if (tables->fromHighByte[lead - 0x80] != 0) continue;
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      tables->fromPair[lead << 8 | trail] = DecodeWithIcu(converter, pair, 2);
    }
  }

  // Each BMP code unit on its own. ICU silently drops some default-ignorable
  // characters it cannot map; they count as unmapped, as on the platform.
  tables->fromUnit.fill(kDefaultByte);
  for (unsigned unit = 0; unit < 0x80; ++unit) tables->fromUnit[unit] = unit;
  for (unsigned unit = 0x80; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const char16_t source = static_cast<char16_t>(unit);
    char bytes[4];
    status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter);
    const std::int32_t count =
        ucnv_fromUChars(converter, bytes, sizeof bytes, &source, 1, &status);
    if (U_FAILURE(status)) continue;
    const auto first = static_cast<std::uint8_t>(bytes[0]);
    const auto second = static_cast<std::uint8_t>(bytes[1]);
    if (count == 1) {
      tables->fromUnit[unit] = first;
    } else if (count == 2 && first >= 0x81) {
      tables->fromUnit[unit] = static_cast<std::uint16_t>(first << 8 | second);
    }
  }
  ucnv_close(converter);
  return tables;
}

// The tables, built on first use; null when code page 936 is not available.
const Cp936Tables* Cp936() {
  static const std::unique_ptr<const Cp936Tables> tables = BuildCp936Tables();
  return tables.get();
}

// Output policies shared by the converters. `Fits(k)` tells whether k more
// units may be put; `Put` stores one without checking.
template <typename Unit>
class Counter {
 public:
  static constexpr bool Fits(std::size_t) { return true; }
  void Put(Unit) { ++count_; }
  std::int64_t count() const { return count_; }

 private:
  std::int64_t count_ = 0;
};

// Writes into a destination known to be large enough for any result.
template <typename Unit>
class Unbounded {
 public:
  explicit Unbounded(Unit* destination)
      : begin_(destination), next_(destination) {}
  static constexpr bool Fits(std::size_t) { return true; }
  void Put(Unit unit) { *next_++ = unit; }
  std::int64_t count() const { return next_ - begin_; }

 private:
  Unit* begin_;
  Unit* next_;
};

// Writes into a destination of limited capacity.
template <typename Unit>
class Bounded {
 public:
  Bounded(Unit* destination, std::int32_t capacity)
      : begin_(destination), next_(destination), end_(destination + capacity) {}
  bool Fits(std::size_t k) const {
    return static_cast<std::size_t>(end_ - next_) >= k;
  }
  void Put(Unit unit) { *next_++ = unit; }
  std::int64_t count() const { return next_ - begin_; }

 private:
  Unit* begin_;
  Unit* next_;
  Unit* end_;
};

// Reads one character or ill-formed subsequence at p (p < end), by the
// rules above. Returns the bytes it takes; `c` is the character, or U+FFFD.
std::ptrdiff_t DecodeUtf8(const std::uint8_t* p, const std::uint8_t* end,
                          char32_t& c) {
  c = kReplacementCharacter;
  const std::uint8_t lead = *p;
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  if (lead < 0xC2 || lead > 0xF4) return 1;
  std::ptrdiff_t length = 2;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xF0) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else if (lead >= 0xE0) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  }
  if (end - p < 2 || (p[1] & 0xC0) != 0x80) return 1;
  if (p[1] < low || p[1] > high) return 2;
  std::ptrdiff_t taken = 2;
  while (taken < length && taken < end - p && (p[taken] & 0xC0) == 0x80) {
    ++taken;
  }
  if (taken < length) return taken;
  c = lead & (0x7F >> length);
  for (std::ptrdiff_t i = 1; i < length; ++i) c = c << 6 | (p[i] & 0x3F);
  return length;
}

bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The converters below return false when the output stops fitting.

template <typename Out>
bool Utf8ToUtf16(const std::uint8_t* p, const std::uint8_t* end, Out& out) {
  while (p < end) {
    // Runs of ASCII, eight bytes at a time.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if ((word & 0x8080808080808080u) != 0 || !out.Fits(8)) break;
      for (int i = 0; i < 8; ++i) out.Put(p[i]);
      p += 8;
    }
    if (p == end) break;
    if (!out.Fits(1)) return false;
    const std::uint8_t lead = *p;
    if (lead < 0x80) {
      out.Put(lead);
      ++p;
      continue;
    }
    // Well-formed two- and three-byte characters, the bulk of most texts.
    if (lead >= 0xC2 && lead < 0xE0 && end - p >= 2 && IsContinuation(p[1])) {
      out.Put(static_cast<char16_t>((lead & 0x1F) << 6 | (p[1] & 0x3F)));
      p += 2;
      continue;
    }
    if (lead >= 0xE0 && lead < 0xF0 && end - p >= 3 && IsContinuation(p[1]) &&
        IsContinuation(p[2])) {
      const char32_t c =
          (lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
      if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
        out.Put(static_cast<char16_t>(c));
        p += 3;
        continue;
      }
    }
    char32_t c;
    p += DecodeUtf8(p, end, c);
    if (c < 0x10000) {
      out.Put(static_cast<char16_t>(c));
    } else {
      if (!out.Fits(2)) return false;
      c -= 0x10000;
      out.Put(static_cast<char16_t>(0xD800 | c >> 10));
      out.Put(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    }
  }
  return true;
}

template <typename Out>
bool Cp936ToUtf16(const Cp936Tables& tables, const std::uint8_t* p,
                  const std::uint8_t* end, Out& out) {
  for (; p < end; ++p) {
    if (!out.Fits(1)) return false;
    const std::uint8_t byte = *p;
    if (byte < 0x80) {
      out.Put(byte);
      continue;
    }
    if (const char16_t single = tables.fromHighByte[byte - 0x80]; single != 0) {
      out.Put(single);
      continue;
    }
    const char16_t pair =
        end - p >= 2 ? tables.fromPair[byte << 8 | p[1]] : char16_t{0};
    if (pair != 0) {
      out.Put(pair);
      ++p;
    } else {
      out.Put(kDefaultWide);
    }
  }
  return true;
}

template <typename Out>
bool Utf16ToCp936(const Cp936Tables& tables, const char16_t* p,
                  const char16_t* end, Out& out) {
  for (; p < end; ++p) {
    // Runs of ASCII, eight units at a time.
    while (end - p >= 8) {
      std::uint64_t words[2];
      std::memcpy(words, p, sizeof words);
      if (((words[0] | words[1]) & 0xFF80FF80FF80FF80u) != 0 || !out.Fits(8)) {
        break;
      }
      for (int i = 0; i < 8; ++i) out.Put(static_cast<char>(p[i]));
      p += 8;
    }
    if (p == end) break;
    const std::uint16_t bytes = tables.fromUnit[*p];
    const bool twoBytes = bytes >= 0x100;
    if (!out.Fits(twoBytes ? 2 : 1)) return false;
    if (twoBytes) out.Put(static_cast<char>(bytes >> 8));
    out.Put(static_cast<char>(bytes & 0xFF));
  }
  return true;
}

// How many UTF-8 bytes `c` takes.
std::size_t Utf8Length(char32_t c) {
  return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

template <typename Out>
bool Utf16ToUtf8(const char16_t* p, const char16_t* end, Out& out) {
  while (p < end) {
    char32_t c = *p++;
    if (c >= 0xD800 && c <= 0xDFFF) {
      if (c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
      } else {
        c = kReplacementCharacter;
      }
    }
    const std::size_t length = Utf8Length(c);
    if (!out.Fits(length)) return false;
    if (length == 1) {
      out.Put(static_cast<char>(c));
      continue;
    }
    constexpr unsigned kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.Put(static_cast<char>(kLeadMarks[length] | c >> (6 * (length - 1))));
    for (std::size_t i = length - 1; i > 0; --i) {
      out.Put(static_cast<char>(0x80 | ((c >> (6 * (i - 1))) & 0x3F)));
    }
  }
  return true;
}

// Runs `convert` as the contract asks: counting for capacity 0, writing
// otherwise, with bounds checks only when `worstCase` units might not fit.
template <typename Unit, typename Convert>
std::int32_t Run(Unit* destination, std::int32_t capacity,
                 std::int64_t worstCase, Convert convert) {
  std::int64_t count = 0;
  if (capacity == 0) {
    Counter<Unit> out;
    convert(out);
    count = out.count();
  } else if (capacity >= worstCase) {
    Unbounded<Unit> out(destination);
    convert(out);
    count = out.count();
  } else {
    Bounded<Unit> out(destination, capacity);
    if (!convert(out)) return 0;
    count = out.count();
  }
  return count > kMaxCount ? 0 : static_cast<std::int32_t>(count);
}

// The number of source units a call covers, for a valid sourceLength: with
// -1, up to and including the terminating zero.
template <typename Unit>
std::int64_t SourceUnits(const Unit* source, std::int32_t sourceLength) {
  if (sourceLength != -1) return sourceLength;
  return static_cast<std::int64_t>(std::char_traits<Unit>::length(source)) + 1;
}

bool ValidArguments(const void* source, std::int32_t sourceLength,
                    const void* destination, std::int32_t capacity) {
  return source != nullptr && sourceLength != 0 && sourceLength >= -1 &&
         capacity >= 0 && (capacity == 0 || destination != nullptr);
}

}  // namespace

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                 const char* source, std::int32_t sourceLength,
                                 char16_t* destination, std::int32_t capacity) {
  if (flags != 0 ||
      !ValidArguments(source, sourceLength, destination, capacity)) {
    return 0;
  }
  const std::int64_t length = SourceUnits(source, sourceLength);
  const auto* begin = reinterpret_cast<const std::uint8_t*>(source);
  const auto* end = begin + length;
  // Each source byte gives at most one code unit.
  if (IsUtf8(codePage)) {
    return Run(destination, capacity, length,
               [&](auto& out) { return Utf8ToUtf16(begin, end, out); });
  }
  if (Is936(codePage)) {
    const Cp936Tables* tables = Cp936();
    if (tables == nullptr) return 0;
    return Run(destination, capacity, length, [&](auto& out) {
      return Cp936ToUtf16(*tables, begin, end, out);
    });
  }
  return 0;
}

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                 const char16_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t capacity, const char* defaultChar,
                                 bool* usedDefaultChar) {
  if (flags != 0 || defaultChar != nullptr || usedDefaultChar != nullptr ||
      !ValidArguments(source, sourceLength, destination, capacity)) {
    return 0;
  }
  const std::int64_t length = SourceUnits(source, sourceLength);
  const char16_t* end = source + length;
  // A code unit gives at most two bytes in 936 and three in UTF-8 (a
  // surrogate pair gives four).
  if (IsUtf8(codePage)) {
    return Run(destination, capacity, 3 * length,
               [&](auto& out) { return Utf16ToUtf8(source, end, out); });
  }
  if (Is936(codePage)) {
    const Cp936Tables* tables = Cp936();
    if (tables == nullptr) return 0;
    return Run(destination, capacity, 2 * length, [&](auto& out) {
      return Utf16ToCp936(*tables, source, end, out);
    });
  }
  return 0;
}

}  // namespace tarnwick::platform
