#include "app/start_program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <optional>

#include "app/control_names.h"
#include "app/qt/main_window.h"

namespace tarnwick {
namespace {

// What the window looked like once the event loop ran.
struct Seen {
  QString title;
  bool visible = false;
  QString clipboardAfterCopy;
};
std::optional<Seen> seen;

// Runs when StartProgram's application is made: once the event loop runs,
// looks at the window, clicks the copy button and closes the window.
void LookAndClose() {
  QTimer::singleShot(0, [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* window = dynamic_cast<MainWindow*>(widget);
      if (window == nullptr) continue;
      qobject_cast<QPushButton*>(window->Control(kCopyButton))->click();
      seen = Seen{window->windowTitle(), window->isVisible(),
                  QGuiApplication::clipboard()->text()};
      window->close();
    }
  });
}
Q_COREAPP_STARTUP_FUNCTION(LookAndClose)

TEST(StartProgramTest, ShowsTheWindowAndReturnsZeroWhenItIsClosed) {
  qputenv("QT_QPA_PLATFORM", "offscreen");

  EXPECT_EQ(StartProgram(), 0);

  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(seen->title, QStringLiteral("Tarnwick v1.0   by Ormelin@Kestrova"));
  EXPECT_TRUE(seen->visible);
  // The copy reaches the desktop clipboard as Unicode with LF line ends.
  EXPECT_TRUE(seen->clipboardAfterCopy.startsWith(
      QString::fromUtf8("示例链接如下：\n\n千图网：")))
      << seen->clipboardAfterCopy.toStdString();
}

}  // namespace
}  // namespace tarnwick
