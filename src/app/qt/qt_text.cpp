#include "app/qt/qt_text.h"

#include <cstdint>
#include <vector>

#include "text/bytes.h"
#include "text/code_page.h"

namespace tarnwick {
namespace {

constexpr std::int32_t kCodePage936 = 936;

}  // namespace

QString TextToQString(const Text& text) {
  const Bytes wide = TextToWide(text, kCodePage936, true);
  QString string;
  string.reserve(static_cast<qsizetype>(wide.size() / 2));
  for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
    const auto unit =
        static_cast<char16_t>(wide.data()[i] | wide.data()[i + 1] << 8);
    if (unit == 0) break;
    string.append(QChar(unit));
  }
  return string;
}

Text QStringToText(const QString& string) {
  std::vector<std::uint8_t> wide;
  wide.reserve(static_cast<std::size_t>(string.size()) * 2 + 2);
  for (const QChar unit : string) {
    wide.push_back(static_cast<std::uint8_t>(unit.unicode() & 0xFF));
    wide.push_back(static_cast<std::uint8_t>(unit.unicode() >> 8));
  }
  wide.push_back(0);
  wide.push_back(0);
  return WideToText(Bytes(std::move(wide)), kCodePage936, true);
}

}  // namespace tarnwick
