// The platform's clipboard. On Windows these are the clipboard functions of
// the window system; elsewhere they are our own, with the same contracts:
//
// - one clipboard per process, open to one thread at a time: OpenClipboard
//   fails while it is open, and it stays open until that thread calls
//   CloseClipboard; a thread that holds it open stands for another program;
// - EmptyClipboard, SetClipboardData, GetClipboardData and CloseClipboard act
//   only on the thread that has the clipboard open, and otherwise fail
//   without effect;
// - a block that SetClipboardData accepts belongs to the clipboard from then
//   on: the clipboard frees it when it is replaced or emptied, and the caller
//   must neither free nor change it. A refused block stays the caller's;
// - on closing, when the content was changed, the CF_TEXT block (code page
//   936, up to its first zero byte) is handed to the desktop clipboard
//   publisher as UTF-8 with LF line ends, so that other programs can paste
//   it; a clipboard emptied without a CF_TEXT block is published as holding
//   nothing.
#ifndef TARNWICK_PLATFORM_CLIPBOARD_H_
#define TARNWICK_PLATFORM_CLIPBOARD_H_

#include <cstdint>
#include <optional>
#include <string>

#include "platform/global_memory.h"

namespace tarnwick::platform {

using WindowHandle = void*;

// Clipboard formats.
inline constexpr std::uint32_t kClipboardFormatText = 1;  // CF_TEXT

// The window the user is working in; null when there is none. Elsewhere than
// on Windows it is the window last named to SetForegroundWindow.
WindowHandle GetForegroundWindow();

// Makes `window` the foreground window. Returns true.
bool SetForegroundWindow(WindowHandle window);

// Opens the clipboard for `owner`, which may be null (elsewhere than on
// Windows nothing asks for the owner). False when it is already open.
bool OpenClipboard(WindowHandle owner);

// Frees every block the clipboard holds. False when the clipboard is not
// open on this thread.
bool EmptyClipboard();

// Offers `block` in `format`, in place of any block held in that format.
// Returns `block` once accepted; null when the clipboard is not open on this
// thread or `block` is null.
GlobalHandle SetClipboardData(std::uint32_t format, GlobalHandle block);

// The block held in `format`, still the clipboard's; null when there is none
// or the clipboard is not open on this thread.
GlobalHandle GetClipboardData(std::uint32_t format);

// Closes the clipboard and publishes a changed content. False when it was not
// open on this thread.
bool CloseClipboard();

// Receives the clipboard's text content on closing: the UTF-8 text, or
// nullopt when the clipboard holds no text. Called on the thread that closes
// the clipboard, with no lock held.
using DesktopClipboardPublisher =
    void (*)(const std::optional<std::string>& utf8Text);

// Installs the publisher (null: none, the default). Returns the one installed
// before. On Windows the clipboard is the desktop's own and this is never
// called.
DesktopClipboardPublisher SetDesktopClipboardPublisher(
    DesktopClipboardPublisher publisher);

}  // namespace tarnwick::platform

#endif  // TARNWICK_PLATFORM_CLIPBOARD_H_
