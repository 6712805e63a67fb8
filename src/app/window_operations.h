// The window operations the commands use: everything they need of the main
// window, each reaching a control by its name (control_names.h).
//
// The window implements them over the window toolkit; tests implement them
// with a fake. Texts are code page 936.
#ifndef TARNWICK_APP_WINDOW_OPERATIONS_H_
#define TARNWICK_APP_WINDOW_OPERATIONS_H_

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace tarnwick {

class WindowOperations {
 public:
  virtual ~WindowOperations() = default;

  // The control's whole current text; for an edit box its content, lines
  // separated by CR LF. Empty for a control that holds none or that the
  // window lacks.
  virtual Text GetControlText(std::string_view control) = 0;

  // True when the radio button `control` is checked; false for any other
  // control.
  virtual bool IsChecked(std::string_view control) = 0;

  // Replaces the control's whole text; in a multi-line edit box each CR LF
  // starts a new line. Nothing happens for a control the window lacks.
  virtual void SetControlText(std::string_view control, const Text& text) = 0;

  // Shows a message box with `text`, titled `title`, a single OK button and
  // no icon, owned by no window, that disables every window of the
  // application until the user dismisses it. Returns when it is dismissed.
  virtual void ShowMessageBox(const Text& text, const Text& title) = 0;

  // Ends the process with `exitCode`; the window goes with it and no handler
  // of ours runs on the way. Never returns, except from a test's fake, so
  // the caller runs nothing after it.
  virtual void EndProcess(std::int32_t exitCode) = 0;
};

}  // namespace tarnwick

#endif  // TARNWICK_APP_WINDOW_OPERATIONS_H_
