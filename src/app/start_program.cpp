#include "app/start_program.h"

#include <QApplication>
#include <QIcon>

#include "app/main_window_description.h"
#include "app/qt/desktop_clipboard.h"
#include "app/qt/main_window.h"
#include "platform/clipboard.h"

namespace tarnwick {

int StartProgram() {
  // The toolkit wants a command line; it gets a fixed one, not the process's.
  int argc = 1;
  char programName[] = "tarnwick";
  char* argv[] = {programName, nullptr};
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarnwick"));
  QApplication::setApplicationVersion(QStringLiteral("1.0.0.0"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrova.Tarnwick"));

  const WindowDescription& description = MainWindowDescription();
  QApplication::setWindowIcon(QIcon(IconResourcePath(description.icon)));
  const platform::DesktopClipboardPublisher previous =
      platform::SetDesktopClipboardPublisher(&PublishToDesktopClipboard);
  {
    MainWindow window(description);
    window.show();
    QApplication::exec();
  }
  platform::SetDesktopClipboardPublisher(previous);
  return 0;
}

}  // namespace tarnwick
