#include "app/qt/desktop_clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/qt/offscreen_application.h"

namespace tarnwick {
namespace {

TEST(DesktopClipboardTest, PublishesUtf8TextOrClearsTheClipboard) {
  testing::OffscreenApplication();
  QClipboard* clipboard = QGuiApplication::clipboard();

  PublishToDesktopClipboard("\xE5\x8D\x83\xE5\x9B\xBE\xE7\xBD\x91\nx");
  EXPECT_EQ(clipboard->text(), QString::fromUtf8("千图网\nx"));
  ASSERT_NE(clipboard->mimeData(), nullptr);
  EXPECT_EQ(clipboard->mimeData()->data(QStringLiteral("text/plain")),
            QByteArray("\xE5\x8D\x83\xE5\x9B\xBE\xE7\xBD\x91\nx"));

  PublishToDesktopClipboard(std::nullopt);
  EXPECT_TRUE(clipboard->text().isEmpty());
}

}  // namespace
}  // namespace tarnwick
