// Reads back what the clipboard holds, for tests of the copy command.
#ifndef TARNWICK_TESTS_APP_CLIPBOARD_BLOCK_H_
#define TARNWICK_TESTS_APP_CLIPBOARD_BLOCK_H_

#include <optional>
#include <string>

#include "platform/clipboard.h"
#include "platform/global_memory.h"

namespace tarnwick::testing {

// All bytes of the clipboard's CF_TEXT block; nullopt when it holds none or
// the clipboard cannot be opened.
inline std::optional<std::string> ClipboardBlock() {
  if (!platform::OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::string> bytes;
  platform::GlobalHandle block =
      platform::GetClipboardData(platform::kClipboardFormatText);
  if (block != nullptr) {
    bytes = std::string(static_cast<const char*>(platform::GlobalLock(block)),
                        platform::GlobalSize(block));
    platform::GlobalUnlock(block);
  }
  platform::CloseClipboard();
  return bytes;
}

}  // namespace tarnwick::testing

#endif  // TARNWICK_TESTS_APP_CLIPBOARD_BLOCK_H_
