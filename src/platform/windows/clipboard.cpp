// The clipboard functions of the platform, called as they are. The clipboard
// is the desktop's own, so no publisher is ever called.
#include "platform/clipboard.h"

#include <atomic>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tarnwick::platform {
namespace {

std::atomic<DesktopClipboardPublisher> installedPublisher{nullptr};

}  // namespace

WindowHandle GetForegroundWindow() { return ::GetForegroundWindow(); }

bool SetForegroundWindow(WindowHandle window) {
  return ::SetForegroundWindow(static_cast<HWND>(window)) != FALSE;
}

bool OpenClipboard(WindowHandle owner) {
  return ::OpenClipboard(static_cast<HWND>(owner)) != FALSE;
}

bool EmptyClipboard() { return ::EmptyClipboard() != FALSE; }

// A null block would ask the owner window to render the format later, which
// no window of ours does: it is refused, as the contract says.
GlobalHandle SetClipboardData(std::uint32_t format, GlobalHandle block) {
  if (block == nullptr) return nullptr;
  return ::SetClipboardData(format, block);
}

GlobalHandle GetClipboardData(std::uint32_t format) {
  return ::GetClipboardData(format);
}

bool CloseClipboard() { return ::CloseClipboard() != FALSE; }

DesktopClipboardPublisher SetDesktopClipboardPublisher(
    DesktopClipboardPublisher publisher) {
  return installedPublisher.exchange(publisher);
}

}  // namespace tarnwick::platform
