#include "app/qt/desktop_clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

namespace tarnwick {

void PublishToDesktopClipboard(const std::optional<std::string>& utf8Text) {
  if (qGuiApp == nullptr) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (utf8Text) {
    // Held as the UTF-8 bytes that text/plain means to the toolkit: a paste
    // is served from them as they are, where text held as a QString would be
    // kept in UTF-16 and encoded afresh for every request.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"),
                  QByteArray::fromStdString(*utf8Text));
    clipboard->setMimeData(data);
  } else {
    clipboard->clear();
  }
}

}  // namespace tarnwick
