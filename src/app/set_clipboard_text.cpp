#include "app/set_clipboard_text.h"

namespace tarnwick {

void SetClipboardText(const Text& text, const ClipboardCalls& calls) {
  const std::size_t n = text.size();
  platform::GlobalHandle block =
      calls.globalAlloc(platform::kGmemMoveable, n + 1);
  auto* bytes = static_cast<char*>(calls.globalLock(block));
  if (bytes == nullptr) {  // no memory: the clipboard keeps its content
    calls.globalFree(block);
    return;
  }
  calls.rtlMoveMemory(bytes, text.c_str(), n);
  bytes[n] = '\0';
  calls.globalUnlock(block);
  platform::WindowHandle window = calls.getForegroundWindow();
  calls.openClipboard(window);
  calls.emptyClipboard();
  if (calls.setClipboardData(platform::kClipboardFormatText, block) ==
      nullptr) {
    calls.globalFree(block);
  }
  calls.closeClipboard();
}

}  // namespace tarnwick
