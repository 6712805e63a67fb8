// The code page conversions written out from their rules, one character at a
// time: UTF-8 decoded by hand, code page 936 asked of ICU character by
// character. Slow on purpose: the production conversion is checked against
// it.
#ifndef TARNWICK_TESTS_TEXT_LITERAL_CODE_PAGE_H_
#define TARNWICK_TESTS_TEXT_LITERAL_CODE_PAGE_H_

#include <unicode/ucnv.h>

#include <string>

namespace tarnwick::literal {

// UTF-8 to UTF-16: one U+FFFD for each ill-formed subsequence (a byte that
// cannot begin a character; a lead byte not followed by a continuation byte;
// a lead byte and a second byte outside the range that lead allows, taken
// together; a well-begun character cut short).
inline std::u16string Utf8ToUtf16(const std::string& s) {
  std::u16string out;
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  auto continuation = [&](std::size_t k) {
    return k < s.size() && at(k) >= 0x80 && at(k) <= 0xBF;
  };
  while (i < s.size()) {
    const unsigned char b = at(i);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    if (b < 0xC2 || b > 0xF4) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    const int need = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b == 0xE0) low = 0xA0;
    if (b == 0xED) high = 0x9F;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;
    if (!continuation(i + 1)) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (at(i + 1) < low || at(i + 1) > high) {
      out += u'\uFFFD';
      i += 2;
      continue;
    }
    std::size_t j = i + 2;
    while (j < i + 1 + need && continuation(j)) ++j;
    if (j < i + 1 + static_cast<std::size_t>(need)) {
      out += u'\uFFFD';
      i = j;
      continue;
    }
    char32_t c = b & (need == 1 ? 0x1F : need == 2 ? 0x0F : 0x07);
    for (std::size_t k = i + 1; k < j; ++k) c = (c << 6) | (at(k) & 0x3F);
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i = j;
  }
  return out;
}

// One converter for the reference, opened on first use. Not thread-safe:
// the fuzz targets run on one thread.
inline UConverter* Cp936Converter() {
  static UConverter* converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open("windows-936-2000", &status);
    ucnv_setFromUCallBack(c, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                          nullptr, &status);
    ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    return c;
  }();
  return converter;
}

// UTF-16 to code page 936: "?" for each code unit without a character of
// its own there, surrogates included.
inline std::string Utf16ToCp936(const std::u16string& units) {
  std::string out;
  for (char16_t unit : units) {
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      out += '?';
      continue;
    }
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(Cp936Converter());
    const int32_t n =
        ucnv_fromUChars(Cp936Converter(), bytes, sizeof bytes, &unit, 1, &status);
    if (U_FAILURE(status) || n <= 0) {
      out += '?';
    } else {
      out.append(bytes, static_cast<std::size_t>(n));
    }
  }
  return out;
}

// Code page 936 to UTF-16: a lead byte and the byte after it as one
// character where ICU knows the pair; otherwise "?" for the lead byte alone.
inline std::u16string Cp936ToUtf16(const std::string& s) {
  std::u16string out;
  std::size_t i = 0;
  while (i < s.size()) {
    for (std::size_t width : {std::size_t{2}, std::size_t{1}}) {
      if (i + width > s.size()) continue;
      char16_t units[4];
      UErrorCode status = U_ZERO_ERROR;
      ucnv_resetToUnicode(Cp936Converter());
      const int32_t n = ucnv_toUChars(Cp936Converter(), units, 4, s.data() + i,
                                      static_cast<int32_t>(width), &status);
      if (U_SUCCESS(status) && n == 1) {
        out += units[0];
        i += width;
        break;
      }
      if (width == 1) {
        out += u'?';
        ++i;
      }
    }
  }
  return out;
}

}  // namespace tarnwick::literal

#endif  // TARNWICK_TESTS_TEXT_LITERAL_CODE_PAGE_H_
