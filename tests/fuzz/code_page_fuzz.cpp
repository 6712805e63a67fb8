// Utf8ToCp936 and the 936 reading of TextToWide against conversions made
// character by character.
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "text/code_page.h"
#include "text/literal_code_page.h"

using namespace tarnwick;

namespace {

std::u16string Units(const Bytes& wide) {
  if (wide.size() < 2) return {};
  std::u16string units(wide.size() / 2, u'\0');
  std::memcpy(units.data(), wide.data(), units.size() * 2);
  units.pop_back();  // the terminating zero unit
  return units;
}

std::string Hex(const std::u16string& units) {
  std::string out;
  for (char16_t unit : units) out += std::to_string(unit) + " ";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text t(std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::Check("Utf8ToCp936", Utf8ToCp936(t).str(),
              literal::Utf16ToCp936(literal::Utf8ToUtf16(t.str())));
  fuzz::Check("TextToWide 65001", Hex(Units(TextToWide(t, 0, false))),
              Hex(literal::Utf8ToUtf16(t.str())));
  fuzz::Check("TextToWide 936", Hex(Units(TextToWide(t, 936, true))),
              Hex(literal::Cp936ToUtf16(t.str())));
  return 0;
}
