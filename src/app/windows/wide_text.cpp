#include "app/windows/wide_text.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "text/bytes.h"
#include "text/code_page.h"

namespace tarnwick {
namespace {

constexpr std::int32_t kCodePage936 = 936;

static_assert(sizeof(wchar_t) == 2, "wide strings are UTF-16 here");

}  // namespace

std::wstring TextToWideString(const Text& text) {
  const Bytes wide = TextToWide(text, kCodePage936, true);
  // The units, then a terminating zero unit, which is left out.
  const std::size_t units = wide.size() < 2 ? 0 : wide.size() / 2 - 1;
  std::wstring string(units, L'\0');
  if (units > 0) std::memcpy(string.data(), wide.data(), units * 2);
  return string;
}

Text WideStringToText(std::wstring_view wide) {
  std::vector<std::uint8_t> units((wide.size() + 1) * 2, 0);
  if (!wide.empty()) std::memcpy(units.data(), wide.data(), wide.size() * 2);
  return WideToText(Bytes(std::move(units)), kCodePage936, true);
}

}  // namespace tarnwick
