// The main window over Qt Widgets, built from a WindowDescription, and the
// window operations over it.
//
// Controls are reached by their names; the window keeps its controls'
// texts in Unicode and converts at the operations (qt_text.h).
#ifndef TARNWICK_APP_QT_MAIN_WINDOW_H_
#define TARNWICK_APP_QT_MAIN_WINDOW_H_

#include <QWidget>
#include <map>
#include <string>
#include <string_view>

#include "app/main_window_description.h"
#include "app/window_operations.h"

namespace tarnwick {

// The resource path of an icon named in a description.
QString IconResourcePath(std::string_view icon);

class MainWindow : public QWidget, public WindowOperations {
 public:
  // Builds the window and its controls from `description`, placed centred on
  // the primary screen; the caller shows it. A QApplication must exist.
  explicit MainWindow(const WindowDescription& description);
  ~MainWindow() override;

  Text GetControlText(std::string_view control) override;
  bool IsChecked(std::string_view control) override;
  void SetControlText(std::string_view control, const Text& text) override;
  void ShowMessageBox(const Text& text, const Text& title) override;
  // Ends the process at once: stdio is flushed, nothing else is cleaned up.
  // Under X11 the desktop clipboard's content goes with the process when the
  // process owns it.
  [[noreturn]] void EndProcess(std::int32_t exitCode) override;

  // The control named `name`; null when the window has none.
  QWidget* Control(std::string_view name) const;

 protected:
  // Keeps the platform's foreground window (what the clipboard calls name as
  // the clipboard's owner) at this window while it is the active one.
  void changeEvent(QEvent* event) override;

 private:
  struct ControlEntry {
    ControlKind kind;
    bool multiLine;
    QWidget* widget;
  };

  // The control named `name`; null when the window has none.
  const ControlEntry* Find(std::string_view name) const;

  std::map<std::string, ControlEntry, std::less<>> controls_;
};

}  // namespace tarnwick

#endif  // TARNWICK_APP_QT_MAIN_WINDOW_H_
