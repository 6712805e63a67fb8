// SetClipboardText: puts a text on the clipboard as CF_TEXT.
#ifndef TARNWICK_APP_SET_CLIPBOARD_TEXT_H_
#define TARNWICK_APP_SET_CLIPBOARD_TEXT_H_

#include <cstddef>
#include <cstdint>

#include "platform/clipboard.h"
#include "platform/global_memory.h"
#include "text/text.h"

namespace tarnwick {

// The platform calls SetClipboardText makes. Tests put recording ones in.
struct ClipboardCalls {
  platform::GlobalHandle (*globalAlloc)(std::uint32_t flags, std::size_t bytes);
  void* (*globalLock)(platform::GlobalHandle block);
  void (*rtlMoveMemory)(void* destination, const void* source,
                        std::size_t count);
  bool (*globalUnlock)(platform::GlobalHandle block);
  platform::WindowHandle (*getForegroundWindow)();
  bool (*openClipboard)(platform::WindowHandle owner);
  bool (*emptyClipboard)();
  platform::GlobalHandle (*setClipboardData)(std::uint32_t format,
                                             platform::GlobalHandle block);
  bool (*closeClipboard)();
  platform::GlobalHandle (*globalFree)(platform::GlobalHandle block);
};

inline constexpr ClipboardCalls kPlatformClipboardCalls = {
    &platform::GlobalAlloc,         &platform::GlobalLock,
    &platform::RtlMoveMemory,       &platform::GlobalUnlock,
    &platform::GetForegroundWindow, &platform::OpenClipboard,
    &platform::EmptyClipboard,      &platform::SetClipboardData,
    &platform::CloseClipboard,      &platform::GlobalFree,
};

// Replaces the clipboard's content with `text`: a movable block of n + 1
// bytes (n = the text's length), the text and a zero byte, offered as
// CF_TEXT by the foreground window. The calls are GlobalAlloc, GlobalLock,
// RtlMoveMemory, GlobalUnlock, GetForegroundWindow, OpenClipboard,
// EmptyClipboard, SetClipboardData, CloseClipboard, in this order. Two
// results are tested, so that nothing leaks and nothing is lost: a block that
// cannot be had or locked is freed and the clipboard is left alone, and a
// block the clipboard refuses (it is held open elsewhere) is freed with
// GlobalFree; either way the clipboard keeps its content. Nothing is
// reported.
void SetClipboardText(const Text& text,
                      const ClipboardCalls& calls = kPlatformClipboardCalls);

}  // namespace tarnwick

#endif  // TARNWICK_APP_SET_CLIPBOARD_TEXT_H_
