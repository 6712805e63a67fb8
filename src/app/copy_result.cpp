#include "app/copy_result.h"

#include "app/control_names.h"
#include "app/set_clipboard_text.h"

namespace tarnwick {

void CopyResult(WindowOperations& window) {
  SetClipboardText(window.GetControlText(kEditBox2));
}

}  // namespace tarnwick
