#include "app/qt/desktop_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

namespace tarnwick {

void PublishToDesktopClipboard(const std::optional<std::string>& utf8Text) {
  if (qGuiApp == nullptr) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (utf8Text) {
    clipboard->setText(QString::fromStdString(*utf8Text));
  } else {
    clipboard->clear();
  }
}

}  // namespace tarnwick
