#include "web/curl/wire_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "platform/code_page_functions.h"

namespace tarnwick {
namespace {

constexpr std::size_t kMaxUnits = std::numeric_limits<std::int32_t>::max();

std::u16string MultiByteToUtf16(std::uint32_t codePage,
                                std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxUnits) return {};
  const auto length = static_cast<std::int32_t>(bytes.size());
  const std::int32_t units = platform::MultiByteToWideChar(
      codePage, 0, bytes.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  const std::int32_t written = platform::MultiByteToWideChar(
      codePage, 0, bytes.data(), length, wide.data(), units);
  wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return wide;
}

std::string Utf16ToMultiByte(std::uint32_t codePage, std::u16string_view wide) {
  if (wide.empty() || wide.size() > kMaxUnits) return {};
  const auto length = static_cast<std::int32_t>(wide.size());
  const std::int32_t size = platform::WideCharToMultiByte(
      codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  const std::int32_t written = platform::WideCharToMultiByte(
      codePage, 0, wide.data(), length, bytes.data(), size, nullptr, nullptr);
  bytes.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return bytes;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// ASCII reads the same in code page 936, UTF-8 and Latin-1, so texts made of
// it (most of an exchange's) need no conversion.
bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  });
}

}  // namespace

std::string Cp936ToUtf8(const Text& text) {
  if (IsAscii(text.view())) return std::string(text.view());
  return Utf16ToMultiByte(
      platform::kCodePageUtf8,
      MultiByteToUtf16(platform::kCodePage936, text.view()));
}

std::string EncodeUrlForWire(const Text& url) {
  const std::string utf8 = Cp936ToUtf8(url);
  std::size_t pathStart = 0;
  if (const std::size_t schemeEnd = utf8.find("://");
      schemeEnd != std::string::npos) {
    pathStart = utf8.find_first_of("/?#", schemeEnd + 3);
    if (pathStart == std::string::npos) pathStart = utf8.size();
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded(utf8, 0, pathStart);
  encoded.reserve(utf8.size());
  for (std::size_t i = pathStart; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte > 0x20 && byte < 0x7F) {
      encoded.push_back(static_cast<char>(byte));
    } else {
      encoded.push_back('%');
      encoded.push_back(kHex[byte >> 4]);
      encoded.push_back(kHex[byte & 0x0F]);
    }
  }
  return encoded;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t extra = 0;
    // The range the second byte must fall in rules out overlong forms,
    // surrogates and code points above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (bytes.size() - i <= extra) return false;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second < low || second > high) return false;
    for (std::size_t k = 2; k <= extra; ++k) {
      if (!IsContinuation(static_cast<unsigned char>(bytes[i + k]))) {
        return false;
      }
    }
    i += extra + 1;
  }
  return true;
}

Text HeaderBytesToText(std::string_view bytes) {
  if (IsAscii(bytes)) return Text(bytes);
  std::u16string wide;
  for (std::size_t start = 0;;) {
    const std::size_t end = bytes.find("\r\n", start);
    const std::string_view line =
        bytes.substr(start, end == std::string_view::npos ? end : end - start);
    if (IsValidUtf8(line)) {
      wide.append(MultiByteToUtf16(platform::kCodePageUtf8, line));
    } else {
      for (const char byte : line) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(byte)));
      }
    }
    if (end == std::string_view::npos) break;
    wide.append(u"\r\n");
    start = end + 2;
  }
  return Text(Utf16ToMultiByte(platform::kCodePage936, wide));
}

}  // namespace tarnwick
