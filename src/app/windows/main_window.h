// The main window over the Win32 window functions, built from a
// WindowDescription, and the window operations over it.
//
// The frame has a caption, a system menu and a minimise box and cannot be
// resized; its outer size is the description's, centred on the primary
// screen. Labels are STATIC controls, radio buttons automatic radio buttons
// forming one group, edit boxes EDIT controls with a client edge (single
// line: scrolling sideways; several lines: word wrap, Enter starts a line,
// no scroll bars), push buttons BUTTON controls, picture boxes owner-drawn
// STATIC controls showing their icon at its natural size in the top-left
// corner. Every control gets the default GUI font; the background is the
// button face colour. Where places overlap, a later control lies on top of an
// earlier one: the earlier one is cut back to what the later leaves free.
//
// Texts pass through the wide-character window functions, converted from and
// to code page 936 explicitly.
//
// A click handler runs to completion before the window takes the next click
// or close: something that pumps messages inside a handler (the platform's
// request object does while it waits) only queues them, and they are handled
// in order once the handler has returned.
#ifndef TARNWICK_APP_WINDOWS_MAIN_WINDOW_H_
#define TARNWICK_APP_WINDOWS_MAIN_WINDOW_H_

#include <memory>
#include <string_view>
#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/main_window_description.h"
#include "app/window_operations.h"

namespace tarnwick {

class MainWindow final : public WindowOperations {
 public:
  // Creates the window and its controls from `description`, which must
  // outlive the window; the icons come from the resources of `instance`. The
  // window is not shown yet. Null when the platform cannot create it.
  static std::unique_ptr<MainWindow> Create(const WindowDescription& description,
                                            HINSTANCE instance);
  // Destroys the window if it still exists.
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_; }
  // The control named `name`; null when the window has none.
  HWND Control(std::string_view name) const;

  Text GetControlText(std::string_view control) override;
  bool IsChecked(std::string_view control) override;
  void SetControlText(std::string_view control, const Text& text) override;
  // A task-modal message box without owner, icon or anything but OK.
  void ShowMessageBox(const Text& text, const Text& title) override;
  // Ends the process with ExitProcess.
  [[noreturn]] void EndProcess(std::int32_t exitCode) override;

 private:
  struct ControlEntry {
    const ControlDescription* description = nullptr;
    HWND handle = nullptr;
    // Picture boxes: the icon shown; shared, never destroyed.
    HICON picture = nullptr;
  };
  struct DeferredMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  explicit MainWindow(const WindowDescription& description)
      : description_(description) {}

  bool CreateControls(HINSTANCE instance);
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message,
                                          WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunClickHandler(ClickHandler handler);
  const ControlEntry* Find(std::string_view name) const;

  const WindowDescription& description_;
  HWND window_ = nullptr;
  std::vector<ControlEntry> controls_;
  // The control that had the focus when the window was last deactivated.
  HWND lastFocus_ = nullptr;
  bool handlerRunning_ = false;
  std::vector<DeferredMessage> deferred_;
};

}  // namespace tarnwick

#endif  // TARNWICK_APP_WINDOWS_MAIN_WINDOW_H_
