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

// How many bytes of code page 936 text are converted at a time.
constexpr std::size_t kPieceSize = std::size_t{64} << 10;

// Where the piece of `text` that begins at `from` ends: after kPieceSize
// bytes or more, just after a byte below 0x40, which is never the second byte
// of a character. Every piece then converts as it does within the whole text.
std::size_t PieceEnd(std::string_view text, std::size_t from) {
  for (std::size_t end = from + kPieceSize; end < text.size(); ++end) {
    if (static_cast<unsigned char>(text[end - 1]) < 0x40) return end;
  }
  return text.size();
}

// Appends the code page 936 text `piece` to `utf8` as UTF-8, through `wide`.
// Returns false when it cannot be converted.
bool AppendAsUtf8(std::string_view piece, std::vector<char16_t>& wide,
                  std::string& utf8) {
  const auto length = static_cast<std::int32_t>(piece.size());
  const std::int32_t units =
      MultiByteToWideChar(kCodePage936, 0, piece.data(), length, nullptr, 0);
  if (units <= 0) return false;
  wide.resize(static_cast<std::size_t>(units));
  if (MultiByteToWideChar(kCodePage936, 0, piece.data(), length, wide.data(),
                          units) != units) {
    return false;
  }
  const std::int32_t bytes = WideCharToMultiByte(
      kCodePageUtf8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  const std::size_t end = utf8.size();
  utf8.resize(end + static_cast<std::size_t>(bytes));
  return WideCharToMultiByte(kCodePageUtf8, 0, wide.data(), units,
                             utf8.data() + end, bytes, nullptr,
                             nullptr) == bytes;
}

// The code page 936 text `text` as UTF-8; empty when it cannot be converted.
// It is converted piece by piece, so that a long text needs no UTF-16 copy of
// its whole.
std::string Cp936ToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size() + text.size() / 2);
  std::vector<char16_t> wide;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = PieceEnd(text, from);
    if (!AppendAsUtf8(text.substr(from, end - from), wide, utf8)) return {};
    from = end;
  }
  return utf8;
}

// Turns every CR LF of `text` into LF, in place.
void ToLfLineEnds(std::string& text) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    text[kept++] = text[i];
  }
  text.resize(kept);
}

// The text the CF_TEXT block `block` holds, up to its first zero byte or its
// end, as the desktop gets it.
std::string DesktopText(GlobalHandle block) {
  const std::size_t size = GlobalSize(block);
  const auto* bytes = static_cast<const char*>(GlobalLock(block));
  if (bytes == nullptr) return {};
  const std::string_view text(bytes, strnlen(bytes, size));
  std::string utf8 = Cp936ToUtf8(text);
  ToLfLineEnds(utf8);
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
