#include "app/qt/qt_text.h"

#include <cstdint>
#include <string>

#include "platform/code_page_functions.h"

namespace tarnwick {

// Both directions convert straight between the Text's bytes and the
// QString's own storage, so that a long text (a large reply shown in the
// output box) is never held a second time in an intermediate buffer.

QString TextToQString(const Text& text) {
  if (text.empty()) return QString();
  const std::int32_t n = platform::MultiByteToWideChar(
      platform::kCodePage936, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return QString();
  QString string(n, Qt::Uninitialized);
  if (platform::MultiByteToWideChar(
          platform::kCodePage936, 0, text.c_str(), -1,
          reinterpret_cast<char16_t*>(string.data()), n) != n) {
    return QString();
  }
  // A Text holds no zero byte, so the only zero unit is the terminating one.
  string.chop(1);
  return string;
}

Text QStringToText(const QString& string) {
  if (string.isEmpty()) return Text();
  // utf16() ends with a zero unit; the conversion stops at the first one.
  const auto* units = reinterpret_cast<const char16_t*>(string.utf16());
  const std::int32_t size = platform::WideCharToMultiByte(
      platform::kCodePage936, 0, units, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return Text();
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (platform::WideCharToMultiByte(platform::kCodePage936, 0, units, -1,
                                    bytes.data(), size, nullptr,
                                    nullptr) != size) {
    return Text();
  }
  return Text(std::move(bytes));
}

}  // namespace tarnwick
