#include "app/start_program.h"

#include "app/main_window_description.h"
#include "app/windows/main_window.h"

#include <commctrl.h>

namespace tarnwick {

int StartProgram() {
  INITCOMMONCONTROLSEX commonControls{sizeof commonControls,
                                      ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);

  const std::unique_ptr<MainWindow> window =
      MainWindow::Create(MainWindowDescription(), GetModuleHandleW(nullptr));
  if (!window) return 0;
  ShowWindow(window->handle(), SW_SHOW);
  UpdateWindow(window->handle());

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab and the arrow keys move between the controls as in a dialog.
    if (window->handle() != nullptr &&
        IsDialogMessageW(window->handle(), &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace tarnwick
