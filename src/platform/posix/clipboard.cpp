// The clipboard of the process, mirrored to the desktop clipboard through the
// installed publisher each time a change is closed.
#include "platform/clipboard.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/code_page_functions.h"

namespace tarnwick::platform {
namespace {

struct ClipboardState {
  std::mutex mutex;
  bool open = false;
  std::thread::id openedOn;
  bool changed = false;
  WindowHandle foreground = nullptr;
  std::map<std::uint32_t, GlobalHandle> blocks;
  DesktopClipboardPublisher publisher = nullptr;
};

// Whether the calling thread has the clipboard open. The caller holds the
// mutex.
bool OpenHere(const ClipboardState& state) {
  return state.open && state.openedOn == std::this_thread::get_id();
}

ClipboardState& State() {
  static ClipboardState* const state = new ClipboardState;  // never destroyed
  return *state;
}

// The code page 936 text `text` as UTF-8; empty when it cannot be converted.
std::string Cp936ToUtf8(std::string_view text) {
  if (text.empty()) return {};
  const auto length = static_cast<std::int32_t>(text.size());
  const std::int32_t units =
      MultiByteToWideChar(kCodePage936, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::vector<char16_t> wide(static_cast<std::size_t>(units));
  if (MultiByteToWideChar(kCodePage936, 0, text.data(), length, wide.data(),
                          units) != units) {
    return {};
  }
  const std::int32_t bytes = WideCharToMultiByte(
      kCodePageUtf8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  if (WideCharToMultiByte(kCodePageUtf8, 0, wide.data(), units, utf8.data(),
                          bytes, nullptr, nullptr) != bytes) {
    return {};
  }
  return utf8;
}

// `text` with every CR LF turned into LF.
std::string ToLfLineEnds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result.push_back(text[i]);
  }
  return result;
}

// The text the CF_TEXT block `block` holds, up to its first zero byte or its
// end, as the desktop gets it.
std::string DesktopText(GlobalHandle block) {
  const std::size_t size = GlobalSize(block);
  const auto* bytes = static_cast<const char*>(GlobalLock(block));
  if (bytes == nullptr) return {};
  const std::string_view text(bytes, strnlen(bytes, size));
  std::string utf8 = ToLfLineEnds(Cp936ToUtf8(text));
  GlobalUnlock(block);
  return utf8;
}

}  // namespace

WindowHandle GetForegroundWindow() {
  ClipboardState& state = State();
  const std::lock_guard lock(state.mutex);
  return state.foreground;
}

bool SetForegroundWindow(WindowHandle window) {
  ClipboardState& state = State();
  const std::lock_guard lock(state.mutex);
  state.foreground = window;
  return true;
}

bool OpenClipboard(WindowHandle /*owner*/) {
  ClipboardState& state = State();
  const std::lock_guard lock(state.mutex);
  if (state.open) return false;
  state.open = true;
  state.openedOn = std::this_thread::get_id();
  state.changed = false;
  return true;
}

bool EmptyClipboard() {
  ClipboardState& state = State();
  const std::lock_guard lock(state.mutex);
  if (!OpenHere(state)) return false;
  for (const auto& [format, block] : state.blocks) GlobalFree(block);
  state.blocks.clear();
  state.changed = true;
  return true;
}

GlobalHandle SetClipboardData(std::uint32_t format, GlobalHandle block) {
  ClipboardState& state = State();
  const std::lock_guard lock(state.mutex);
  if (!OpenHere(state) || block == nullptr) return nullptr;
  GlobalHandle& held = state.blocks[format];
  if (held != nullptr && held != block) GlobalFree(held);
  held = block;
  state.changed = true;
  return block;
}

GlobalHandle GetClipboardData(std::uint32_t format) {
  ClipboardState& state = State();
  const std::lock_guard lock(state.mutex);
  if (!OpenHere(state)) return nullptr;
  const auto it = state.blocks.find(format);
  return it == state.blocks.end() ? nullptr : it->second;
}

bool CloseClipboard() {
  ClipboardState& state = State();
  DesktopClipboardPublisher publisher = nullptr;
  std::optional<std::string> published;
  {
    const std::lock_guard lock(state.mutex);
    if (!OpenHere(state)) return false;
    state.open = false;
    if (!state.changed || state.publisher == nullptr) return true;
    publisher = state.publisher;
    const auto it = state.blocks.find(kClipboardFormatText);
    if (it != state.blocks.end()) published = DesktopText(it->second);
  }
  publisher(published);
  return true;
}

DesktopClipboardPublisher SetDesktopClipboardPublisher(
    DesktopClipboardPublisher publisher) {
  ClipboardState& state = State();
  const std::lock_guard lock(state.mutex);
  const DesktopClipboardPublisher previous = state.publisher;
  state.publisher = publisher;
  return previous;
}

}  // namespace tarnwick::platform
