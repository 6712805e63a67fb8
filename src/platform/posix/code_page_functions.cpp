// The code page functions for systems without them: UTF-8 and the UTF-16
// side are done by hand, code page 936 through lookup tables built from ICU's
// "windows-936-2000" converter (the platform's own 936 table, with
// 0x80 <-> U+20AC), each direction's on its first use.
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
//
// The two conversions of the UTF-8 -> 936 road (UTF-8 -> UTF-16 and
// UTF-16 -> 936) take their source a block of 16 bytes at a time where they
// can, and a zero-terminated source is read in the same pass as it is
// converted, without measuring its length first.
#include "platform/code_page_functions.h"

#include <unicode/ucnv.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Code page 936 to UTF-16. Read-only once built.
struct Cp936Decoding {
  // Bytes 80-FF that are characters on their own; 0 for lead bytes.
  std::array<char16_t, 0x80> fromHighByte;
  // PairIndex(lead, trail) -> UTF-16; 0 where the pair is not a character.
  std::array<char16_t, 0x8000> fromPair;
};

// Where Cp936Decoding::fromPair keeps the pair of byte `lead` (80-FF) and
// byte `trail`.
std::size_t PairIndex(std::uint8_t lead, std::uint8_t trail) {
  return static_cast<std::size_t>(lead - 0x80) << 8 | trail;
}

// UTF-16 to code page 936. Read-only once built.
struct Cp936Encoding {
  // UTF-16 code unit -> 936 bytes in the order they are written: the first
  // byte in the low 8 bits, a second byte (never 0) in the high 8 bits or 0
  // when there is none; kDefaultByte where 936 has nothing. So the bytes
  // are two exactly when the value exceeds 0xFF.
  std::array<std::uint16_t, 0x10000> fromUnit;
  // A range of units that all take two bytes (the CJK ideographs), so that
  // counting needs no table for them; empty when first > last.
  char16_t twoByteFirst = 1;
  char16_t twoByteLast = 0;
};

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's 936 converter, stopping at whatever it cannot convert; null when ICU
// lacks it.
Converter OpenCp936Converter() {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open("windows-936-2000", &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr,
                      nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr,
                        nullptr, nullptr, &status);
  if (U_FAILURE(status)) return nullptr;
  return converter;
}

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

// A to-Unicode callback that passes over what cannot be converted.
void SkipUnconvertible(const void*, UConverterToUnicodeArgs*, const char*,
                       std::int32_t, UConverterCallbackReason reason,
                       UErrorCode* status) {
  if (reason <= UCNV_IRREGULAR) *status = U_ZERO_ERROR;
}

// The trail bytes of a pair: 40-7E and 80-FE.
constexpr std::size_t kTrailCount = 190;

// Fills the pairs of `lead` with each trail byte, as DecodeWithIcu would one
// pair at a time, but all in one conversion by `bulk` (which skips what it
// cannot convert): there a pair's entry is its unit when the pair gives
// exactly one unit and the next sequence begins right after it. Any other
// pair is decoded on its own by `single`.
void DecodePairs(UConverter* bulk, UConverter* single, std::uint8_t lead,
                 Cp936Decoding& decoding) {
  // The pairs, then an ASCII byte that shows where the last one ended.
  std::array<std::uint8_t, kTrailCount> trails;
  std::array<char, 2 * kTrailCount + 1> source;
  std::size_t pairs = 0;
  for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
    if (trail == 0x7F) continue;
    trails[pairs] = static_cast<std::uint8_t>(trail);
    source[2 * pairs] = static_cast<char>(lead);
    source[2 * pairs + 1] = static_cast<char>(trail);
    ++pairs;
  }
  source[2 * pairs] = 'A';

  std::array<char16_t, 2 * source.size()> units;
  std::array<std::int32_t, units.size()> offsets;
  char16_t* unitsEnd = units.data();
  const char* next = source.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_resetToUnicode(bulk);
  ucnv_toUnicode(bulk, &unitsEnd, units.data() + units.size(), &next,
                 source.data() + source.size(), offsets.data(), true, &status);
  const std::size_t produced =
      U_SUCCESS(status) ? static_cast<std::size_t>(unitsEnd - units.data()) : 0;

  std::size_t i = 0;
  for (std::size_t k = 0; k < pairs; ++k) {
    const auto start = static_cast<std::int32_t>(2 * k);
    while (i < produced && offsets[i] < start) ++i;
    char16_t& entry = decoding.fromPair[PairIndex(lead, trails[k])];
    if (i + 1 < produced && offsets[i] == start &&
        offsets[i + 1] == start + 2) {
      entry = units[i];
    } else {
      entry = DecodeWithIcu(single, &source[2 * k], 2);
    }
  }
}

// Builds the tables, or returns null when ICU lacks the converter.
std::unique_ptr<const Cp936Decoding> BuildCp936Decoding() {
  const Converter single = OpenCp936Converter();
  Converter bulk = OpenCp936Converter();
  if (!single || !bulk) return nullptr;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setToUCallBack(bulk.get(), &SkipUnconvertible, nullptr, nullptr, nullptr,
                      &status);
  if (U_FAILURE(status)) return nullptr;

  auto decoding = std::make_unique<Cp936Decoding>();
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    const char alone = static_cast<char>(byte);
    decoding->fromHighByte[byte - 0x80] =
        DecodeWithIcu(single.get(), &alone, 1);
  }
  decoding->fromPair.fill(0);
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    if (decoding->fromHighByte[lead - 0x80] != 0) continue;
    DecodePairs(bulk.get(), single.get(), static_cast<std::uint8_t>(lead),
                *decoding);
  }
  return decoding;
}

// Builds the table, or returns null when ICU lacks the converter.
std::unique_ptr<const Cp936Encoding> BuildCp936Encoding() {
  const Converter converter = OpenCp936Converter();
  if (!converter) return nullptr;
  auto encoding = std::make_unique<Cp936Encoding>();
  // Each BMP code unit on its own. ICU silently drops some default-ignorable
  // characters it cannot map; they count as unmapped, as on the platform.
  encoding->fromUnit.fill(kDefaultByte);
  for (unsigned unit = 0; unit < 0x80; ++unit) encoding->fromUnit[unit] = unit;
  for (unsigned unit = 0x80; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const char16_t source = static_cast<char16_t>(unit);
    char bytes[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter.get());
    const std::int32_t count = ucnv_fromUChars(
        converter.get(), bytes, sizeof bytes, &source, 1, &status);
    if (U_FAILURE(status)) continue;
    const auto first = static_cast<std::uint8_t>(bytes[0]);
    const auto second = static_cast<std::uint8_t>(bytes[1]);
    if (count == 1 && first != 0) {
      encoding->fromUnit[unit] = first;
    } else if (count == 2 && first >= 0x81 && second != 0) {
      encoding->fromUnit[unit] =
          static_cast<std::uint16_t>(second << 8 | first);
    }
  }

  constexpr char16_t kIdeograph = 0x4E00;
  const auto twoBytes = [&](unsigned unit) {
    return encoding->fromUnit[unit] > 0xFF;
  };
  if (twoBytes(kIdeograph)) {
    unsigned first = kIdeograph;
    unsigned last = kIdeograph;
    while (twoBytes(first - 1)) --first;
    while (last < 0xFFFF && twoBytes(last + 1)) ++last;
    encoding->twoByteFirst = static_cast<char16_t>(first);
    encoding->twoByteLast = static_cast<char16_t>(last);
  }
  return encoding;
}

// The tables of each direction, built on first use; null when code page 936
// is not available.
const Cp936Decoding* DecodingTables() {
  static const std::unique_ptr<const Cp936Decoding> tables =
      BuildCp936Decoding();
  return tables.get();
}

const Cp936Encoding* EncodingTable() {
  static const std::unique_ptr<const Cp936Encoding> table =
      BuildCp936Encoding();
  return table.get();
}

// Sixteen bytes, or eight UTF-16 code units, of a source taken at once.
typedef std::uint8_t ByteBlock __attribute__((vector_size(16)));
typedef std::uint16_t UnitBlock __attribute__((vector_size(16)));
// The result of comparing blocks: each byte all ones or all zeros.
typedef std::int8_t Lanes __attribute__((vector_size(16)));
typedef std::int16_t UnitLanes __attribute__((vector_size(16)));
// A block read in place through a pointer of another type.
typedef std::uint8_t AliasedBlock __attribute__((vector_size(16), may_alias));

constexpr std::size_t kBlockSize = 16;

// The top bit of each byte of `lanes`, bit i for byte i.
std::uint32_t MoveMask(Lanes lanes) {
#if defined(__SSE2__)
  return static_cast<std::uint32_t>(
      _mm_movemask_epi8(reinterpret_cast<__m128i>(lanes)));
#else
  std::uint32_t mask = 0;
  for (std::size_t i = 0; i < kBlockSize; ++i) {
    mask |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(lanes[i]) >> 7)
            << i;
  }
  return mask;
#endif
}

// The top bit of each byte of a block or of the result of comparing blocks.
template <typename Compared>
std::uint32_t MoveMaskOf(Compared compared) {
  return MoveMask(reinterpret_cast<Lanes>(compared));
}

// The number of bits set in `bits`, without a library call where the target
// lacks a population count instruction.
int CountBits(std::uint64_t bits) {
#if defined(__POPCNT__) || !defined(__SSE2__)
  return std::popcount(bits);
#else
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<int>((bits * 0x0101010101010101u) >> 56);
#endif
}

// The 16 bytes at `p`, all of which belong to the source.
template <typename Block>
Block LoadBlock(const void* p) {
  Block block;
  std::memcpy(&block, p, sizeof block);
  return block;
}

// The aligned block at `blockStart`, which holds part of the source but may
// reach past its terminator or begin before it. An aligned block never
// crosses a page, so it is read whole, and the bytes outside the source are
// masked by the caller; hence no bounds instrumentation here.
__attribute__((no_sanitize_address)) ByteBlock
LoadAlignedBlock(const std::uint8_t* blockStart) {
  return *reinterpret_cast<const AliasedBlock*>(blockStart);
}

// How far ahead the block loops may read a source of `Unit`s: to the end of a
// source with a length, or, for a source that ends at its first zero unit, to
// the end of the aligned blocks seen so far without a zero unit.
template <typename Unit>
class Reach {
 public:
  // `end` is null for a zero-terminated source.
  Reach(const Unit* begin, const Unit* end)
      : limit_(end != nullptr ? end : begin),
        counted_(end != nullptr),
        open_(end == nullptr &&
              reinterpret_cast<std::uintptr_t>(begin) % sizeof(Unit) == 0) {}

  // Whether the `count` units from p may be read, looking further into a
  // zero-terminated source as needed. False once the terminator is that
  // near: the units from there on are left to the unit-by-unit path.
  bool Has(const Unit* p, std::ptrdiff_t count) {
    return limit_ - p >= count || (open_ && Extend(p, count));
  }

  // How many units from p a character may read: those left in a source with
  // a length; in a zero-terminated one, as many as a character has, since
  // the terminator stops it.
  std::ptrdiff_t Available(const Unit* p) const {
    return counted_ ? limit_ - p : 4;
  }

 private:
  static constexpr std::size_t kLine = 4 * kBlockSize;

  // The lanes of the zero units of `block`.
  static Lanes ZeroLanes(ByteBlock block) {
    if constexpr (sizeof(Unit) == 1) {
      return block == 0;
    } else {
      return reinterpret_cast<Lanes>(reinterpret_cast<UnitBlock>(block) == 0);
    }
  }

  // Takes in aligned blocks from limit_ on, up to a line of 64 bytes beyond
  // the `count` units from p, until one holds the terminator. A whole line
  // (four blocks in one page) is looked at in one go.
  bool Extend(const Unit* p, std::ptrdiff_t count) {
    constexpr auto kAhead = static_cast<std::ptrdiff_t>(kLine / sizeof(Unit));
    while (limit_ - p < count + kAhead) {
      const auto address = reinterpret_cast<std::uintptr_t>(limit_);
      const auto* line = reinterpret_cast<const std::uint8_t*>(address);
      if (address % kLine == 0) {
        Lanes zeros = ZeroLanes(LoadAlignedBlock(line));
        for (std::size_t i = 1; i < 4; ++i) {
          zeros |= ZeroLanes(LoadAlignedBlock(line + i * kBlockSize));
        }
        if (MoveMask(zeros) == 0) {
          limit_ += kLine / sizeof(Unit);
          continue;
        }
      }
      const std::size_t skip = address % kBlockSize;
      if ((MoveMask(ZeroLanes(LoadAlignedBlock(line - skip))) >> skip) != 0) {
        open_ = false;
        break;
      }
      limit_ += (kBlockSize - skip) / sizeof(Unit);
    }
    return limit_ - p >= count;
  }

  const Unit* limit_;
  bool counted_;
  bool open_;
};

// Output policies shared by the converters. `Fits(k)` tells whether k more
// units may be put; the Put functions store without checking. PutBlock
// stores a block of units widened or narrowed from a source block, and Skip
// then takes in how many of them belong to the result: the rest is
// overwritten by what follows.
template <typename Unit>
class Counter {
 public:
  static constexpr bool Fits(std::size_t) { return true; }
  void Put(Unit) { ++count_; }
  template <typename Block>
  void PutBlock(Block) {}
  void Skip(std::size_t count) { count_ += static_cast<std::int64_t>(count); }
  void PutPacked(std::uint16_t bytes) { count_ += bytes > 0xFF ? 2 : 1; }
  std::int64_t count() const { return count_; }

 private:
  std::int64_t count_ = 0;
};

template <typename Unit>
class Bounded {
 public:
  Bounded(Unit* destination, std::int32_t capacity)
      : begin_(destination), next_(destination), end_(destination + capacity) {}
  bool Fits(std::size_t k) const {
    return static_cast<std::size_t>(end_ - next_) >= k;
  }
  void Put(Unit unit) { *next_++ = unit; }
  // The 16 bytes of `block` as 16 units; needs Fits(16).
  void PutBlock(ByteBlock block) {
    Unit units[kBlockSize];
    for (std::size_t i = 0; i < kBlockSize; ++i) units[i] = block[i];
    std::memcpy(next_, units, sizeof units);
  }
  // The 8 units of `block` as 8 bytes, those below 0x80 unchanged; needs
  // Fits(8).
  void PutBlock(UnitBlock block) {
#if defined(__SSE2__)
    const __m128i units = reinterpret_cast<__m128i>(block);
    const __m128i bytes = _mm_packus_epi16(units, units);
    std::memcpy(next_, &bytes, kBlockSize / 2);
#else
    for (std::size_t i = 0; i < kBlockSize / 2; ++i) {
      next_[i] = static_cast<Unit>(block[i]);
    }
#endif
  }
  void Skip(std::size_t count) { next_ += count; }
  // The one or two bytes of a 936 character as in Cp936Encoding::fromUnit.
  // Two bytes are stored either way, so it needs Fits(2).
  void PutPacked(std::uint16_t bytes) {
    next_[0] = static_cast<Unit>(bytes & 0xFF);
    next_[1] = static_cast<Unit>(bytes >> 8);
    next_ += bytes > 0xFF ? 2 : 1;
  }
  std::int64_t count() const { return next_ - begin_; }

 private:
  Unit* begin_;
  Unit* next_;
  Unit* end_;
};

// Reads one character or ill-formed subsequence at p, of which `available`
// bytes (at least 1) may be read, by the rules above. Returns the bytes it
// takes; `c` is the character, or U+FFFD. Reads no byte after the first one
// that is not a continuation byte, so a zero-terminated source may pass any
// `available`.
std::ptrdiff_t DecodeUtf8(const std::uint8_t* p, std::ptrdiff_t available,
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
  if (available < 2 || (p[1] & 0xC0) != 0x80) return 1;
  if (p[1] < low || p[1] > high) return 2;
  std::ptrdiff_t taken = 2;
  while (taken < length && taken < available && (p[taken] & 0xC0) == 0x80) {
    ++taken;
  }
  if (taken < length) return taken;
  c = lead & (0x7F >> length);
  for (std::ptrdiff_t i = 1; i < length; ++i) c = c << 6 | (p[i] & 0x3F);
  return length;
}

// Puts `c` as one or two UTF-16 units; false when they do not fit.
template <typename Out>
bool PutUtf16(char32_t c, Out& out) {
  if (c < 0x10000) {
    if (!out.Fits(1)) return false;
    out.Put(static_cast<char16_t>(c));
    return true;
  }
  if (!out.Fits(2)) return false;
  c -= 0x10000;
  out.Put(static_cast<char16_t>(0xD800 | c >> 10));
  out.Put(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
  return true;
}

// Converts a well-formed character of two or three bytes at p, of which three
// may be read, to the one unit it gives. Returns the bytes taken, or 0 when
// p holds anything else. The bytes are looked at as one word, first byte
// lowest.
std::ptrdiff_t DecodeCommonUtf8(const std::uint8_t* p, char16_t& unit) {
  const std::uint32_t word = static_cast<std::uint32_t>(p[0]) |
                             static_cast<std::uint32_t>(p[1]) << 8 |
                             static_cast<std::uint32_t>(p[2]) << 16;
  if ((word & 0xC0C0F0) == 0x8080E0) {
    const std::uint32_t c =
        (word & 0x0F) << 12 | (word & 0x3F00) >> 2 | (word >> 16 & 0x3F);
    if (c >= 0x800 && c - 0xD800 >= 0x800) {
      unit = static_cast<char16_t>(c);
      return 3;
    }
    return 0;
  }
  if ((word & 0xC0E0) == 0x80C0) {
    const std::uint32_t c = (word & 0x1F) << 6 | (word >> 8 & 0x3F);
    if (c >= 0x80) {
      unit = static_cast<char16_t>(c);
      return 2;
    }
  }
  return 0;
}

constexpr std::ptrdiff_t kStretch = 64;

// Counts the UTF-16 units of whole stretches of 64 bytes from p, as long as
// the source reaches that far. Returns where it stopped.
//
// A stretch of ASCII gives a unit a byte. A stretch whose lead bytes are all
// C2-DF and E1-EF, each followed by exactly the continuation bytes (80-BF,
// any of them) its character takes, gives a unit for each byte that is not a
// continuation byte; it ends before a character it cuts short. Any other
// stretch (with C0, C1, E0, ED or F0-FF, whose characters limit their second
// byte or take four bytes, or with an ill-formed subsequence) is counted a
// character at a time.
const std::uint8_t* CountUtf8Stretches(const std::uint8_t* p,
                                       Reach<std::uint8_t>& reach,
                                       Counter<char16_t>& out) {
  auto bits = [](std::uint32_t mask, unsigned block) {
    return static_cast<std::uint64_t>(mask) << (block * kBlockSize);
  };
  while (reach.Has(p, kStretch)) {
    ByteBlock blocks[4];
    std::uint64_t high = 0;  // 80-FF
    for (unsigned i = 0; i < 4; ++i) {
      blocks[i] = LoadBlock<ByteBlock>(p + i * kBlockSize);
      high |= bits(MoveMaskOf(blocks[i]), i);
    }
    if (high == 0) {
      out.Skip(kStretch);
      p += kStretch;
      continue;
    }
    std::uint64_t lead = 0;         // C0-FF
    std::uint64_t leadOfThree = 0;  // E0-FF
    Lanes special{};
    for (unsigned i = 0; i < 4; ++i) {
      const ByteBlock block = blocks[i];
      lead |= bits(MoveMaskOf(block >= 0xC0), i);
      leadOfThree |= bits(MoveMaskOf(block >= 0xE0), i);
      special |= (block >= 0xF0) | (block == 0xE0) | (block == 0xED) |
                 ((block & 0xFE) == 0xC0);
    }
    if (MoveMask(special) == 0) {
      const std::uint64_t continuation = high & ~lead;
      const std::uint64_t expected = lead << 1 | leadOfThree << 2;
      const std::uint64_t cut =
          (lead & 1ull << 63) | (leadOfThree & 3ull << 62);
      const int length = cut == 0 ? 64 : std::countr_zero(cut);
      const std::uint64_t taken = length == 64 ? ~0ull : (1ull << length) - 1;
      if (((continuation ^ expected) & taken) == 0) {
        out.Skip(static_cast<std::size_t>(
            length - CountBits(continuation & taken)));
        p += length;
        continue;
      }
    }
    const std::uint8_t* const stop = p + kStretch;
    while (p < stop) {
      char32_t c;
      p += DecodeUtf8(p, reach.Available(p), c);
      PutUtf16(c, out);
    }
  }
  return p;
}

// Converts blocks of 16 bytes from p while the source and the destination
// reach that far: runs of ASCII widened a block at a time, characters of two
// and three bytes decoded on a short path. Returns where it stopped.
const std::uint8_t* ConvertUtf8Blocks(const std::uint8_t* p,
                                      Reach<std::uint8_t>& reach,
                                      Bounded<char16_t>& out) {
  // Each round puts the ASCII bytes that begin the block, then the
  // characters that begin in its first 13 bytes (so that the four bytes a
  // character may take are in the block); none gives more than a unit per
  // byte, so the 16 units of the widened block are room enough.
  constexpr std::ptrdiff_t kCharacterArea = 13;
  while (reach.Has(p, kBlockSize) && out.Fits(kBlockSize)) {
    const ByteBlock block = LoadBlock<ByteBlock>(p);
    const std::uint32_t high = MoveMaskOf(block);
    out.PutBlock(block);
    if (high == 0) {
      out.Skip(kBlockSize);
      p += kBlockSize;
      continue;
    }
    const std::uint8_t* const stop = p + kCharacterArea;
    const int ascii = std::countr_zero(high);
    out.Skip(static_cast<std::size_t>(ascii));
    p += ascii;
    while (p < stop && *p >= 0x80) {
      char16_t unit;
      if (const std::ptrdiff_t taken = DecodeCommonUtf8(p, unit); taken != 0) {
        out.Put(unit);
        p += taken;
        continue;
      }
      char32_t c;
      p += DecodeUtf8(p, 4, c);
      PutUtf16(c, out);
    }
  }
  return p;
}

// The converters below take a source up to `end`, or with a null `end` up to
// and including its first zero unit. They return false when the output
// stops fitting.

template <typename Out>
bool Utf8ToUtf16(const std::uint8_t* p, const std::uint8_t* end, Out& out) {
  Reach<std::uint8_t> reach(p, end);
  if constexpr (std::is_same_v<Out, Counter<char16_t>>) {
    p = CountUtf8Stretches(p, reach, out);
  } else {
    p = ConvertUtf8Blocks(p, reach, out);
  }
  // The rest, a character at a time.
  for (;;) {
    if (end != nullptr && p == end) return true;
    char32_t c;
    p += DecodeUtf8(p, end != nullptr ? end - p : 4, c);
    if (!PutUtf16(c, out)) return false;
    if (end == nullptr && c == 0) return true;
  }
}

template <typename Out>
bool Cp936ToUtf16(const Cp936Decoding& tables, const std::uint8_t* p,
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
        end - p >= 2 ? tables.fromPair[PairIndex(byte, p[1])] : char16_t{0};
    if (pair != 0) {
      out.Put(pair);
      ++p;
    } else {
      out.Put(kDefaultWide);
    }
  }
  return true;
}

constexpr std::ptrdiff_t kBlockUnits = kBlockSize / 2;
// Masks of a block of units have two bits a unit; the even ones are used.
constexpr std::uint32_t kUnitBits = 0x5555;

// Counts the 936 bytes of blocks of eight units from p as long as the source
// reaches that far. Every unit takes a byte; those in the two-byte range one
// more, kept in a count for each lane (each gains at most one a block, so it
// is taken in every kRound blocks); others outside ASCII ask the table.
// Returns where it stopped.
const char16_t* CountCp936Blocks(const Cp936Encoding& tables, const char16_t* p,
                                 Reach<char16_t>& reach, Counter<char>& out) {
  constexpr std::size_t kRound = 0x8000;
  const UnitBlock twoByteFirst = UnitBlock{} + std::uint16_t{tables.twoByteFirst};
  const UnitBlock twoByteLast = UnitBlock{} + std::uint16_t{tables.twoByteLast};
  for (;;) {
    UnitLanes twoBytes{};
    std::size_t blocks = 0;
    for (; blocks < kRound && reach.Has(p, kBlockUnits); ++blocks) {
      const UnitBlock block = LoadBlock<UnitBlock>(p);
      const UnitLanes inRange = (block >= twoByteFirst) & (block <= twoByteLast);
      twoBytes -= inRange;
      for (std::uint32_t rest = MoveMaskOf((block >= 0x80) & ~inRange) & kUnitBits;
           rest != 0; rest &= rest - 1) {
        out.Skip(tables.fromUnit[p[std::countr_zero(rest) / 2]] > 0xFF);
      }
      p += kBlockUnits;
    }
    std::size_t count = blocks * kBlockUnits;
    for (std::size_t i = 0; i < kBlockUnits; ++i) {
      count += static_cast<std::uint16_t>(twoBytes[i]);
    }
    out.Skip(count);
    if (blocks < kRound) return p;
  }
}

// Converts blocks of eight units from p while the source and the
// destination reach that far, with two bytes of room for each unit: the
// ASCII units that begin a block narrowed at once, the others through the
// table unit by unit. Returns where it stopped.
const char16_t* ConvertCp936Blocks(const Cp936Encoding& tables,
                                   const char16_t* p, Reach<char16_t>& reach,
                                   Bounded<char>& out) {
  while (reach.Has(p, kBlockUnits) && out.Fits(2 * kBlockUnits)) {
    const UnitBlock block = LoadBlock<UnitBlock>(p);
    const std::uint32_t other = MoveMaskOf(block >= 0x80) & kUnitBits;
    out.PutBlock(block);
    const int ascii = other == 0 ? kBlockUnits : std::countr_zero(other) / 2;
    out.Skip(static_cast<std::size_t>(ascii));
    for (std::ptrdiff_t i = ascii; i < kBlockUnits; ++i) {
      out.PutPacked(tables.fromUnit[p[i]]);
    }
    p += kBlockUnits;
  }
  return p;
}

template <typename Out>
bool Utf16ToCp936(const Cp936Encoding& tables, const char16_t* p,
                  const char16_t* end, Out& out) {
  Reach<char16_t> reach(p, end);
  if constexpr (std::is_same_v<Out, Counter<char>>) {
    p = CountCp936Blocks(tables, p, reach, out);
  } else {
    p = ConvertCp936Blocks(tables, p, reach, out);
  }
  // The rest, a unit at a time.
  for (;; ++p) {
    if (end != nullptr && p == end) return true;
    const std::uint16_t bytes = tables.fromUnit[*p];
    const bool twoBytes = bytes > 0xFF;
    if (!out.Fits(twoBytes ? 2 : 1)) return false;
    out.Put(static_cast<char>(bytes & 0xFF));
    if (twoBytes) out.Put(static_cast<char>(bytes >> 8));
    if (end == nullptr && *p == 0) return true;
  }
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
// otherwise.
template <typename Unit, typename Convert>
std::int32_t Run(Unit* destination, std::int32_t capacity, Convert convert) {
  std::int64_t count = 0;
  if (capacity == 0) {
    Counter<Unit> out;
    convert(out);
    count = out.count();
  } else {
    Bounded<Unit> out(destination, capacity);
    if (!convert(out)) return 0;
    count = out.count();
  }
  return count > kMaxCount ? 0 : static_cast<std::int32_t>(count);
}

// The end of the source units a call covers, for a valid sourceLength: with
// -1, just after the terminating zero.
template <typename Unit>
const Unit* SourceEnd(const Unit* source, std::int32_t sourceLength) {
  if (sourceLength != -1) return source + sourceLength;
  return source + std::char_traits<Unit>::length(source) + 1;
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
  const auto* begin = reinterpret_cast<const std::uint8_t*>(source);
  if (IsUtf8(codePage)) {
    const std::uint8_t* end =
        sourceLength == -1 ? nullptr : begin + sourceLength;
    return Run(destination, capacity,
               [&](auto& out) { return Utf8ToUtf16(begin, end, out); });
  }
  if (Is936(codePage)) {
    const Cp936Decoding* tables = DecodingTables();
    if (tables == nullptr) return 0;
    const std::uint8_t* end = SourceEnd(begin, sourceLength);
    return Run(destination, capacity, [&](auto& out) {
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
  if (IsUtf8(codePage)) {
    const char16_t* end = SourceEnd(source, sourceLength);
    return Run(destination, capacity,
               [&](auto& out) { return Utf16ToUtf8(source, end, out); });
  }
  if (Is936(codePage)) {
    const Cp936Encoding* tables = EncodingTable();
    if (tables == nullptr) return 0;
    const char16_t* end = sourceLength == -1 ? nullptr : source + sourceLength;
    return Run(destination, capacity, [&](auto& out) {
      return Utf16ToCp936(*tables, source, end, out);
    });
  }
  return 0;
}

}  // namespace tarnwick::platform
