// The main window as data: its frame and its nine controls with their places,
// texts and settings. A window backend builds the real window from it.
#ifndef TARNWICK_APP_MAIN_WINDOW_DESCRIPTION_H_
#define TARNWICK_APP_MAIN_WINDOW_DESCRIPTION_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/window_operations.h"
#include "text/text.h"

namespace tarnwick {

enum class ControlKind {
  kLabel,
  kRadioButton,
  kEditBox,
  kPushButton,
  kPictureBox
};

// Pixels; a control's place is relative to the client area's top-left corner.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A click handler: runs on the user-interface thread with the window it was
// clicked in, and returns before the window handles its next event.
using ClickHandler = void (*)(WindowOperations& window);

struct ControlDescription {
  ControlKind kind = ControlKind::kLabel;
  // One of control_names.h.
  std::string_view name;
  Rect place;
  // A caption, or an edit box's initial content (lines separated by CR LF).
  Text text;
  // Radio buttons: checked when the window opens. All radio buttons of the
  // window form one group.
  bool checked = false;
  // Edit boxes: several lines, wrapped at the box's width, no scroll bars,
  // Enter starts a new line. Otherwise one line that scrolls sideways.
  bool multiLine = false;
  // Picture boxes: the name of the icon shown at its natural size in the
  // top-left corner.
  std::string_view picture;
  // Push buttons: what a click runs; null for none.
  ClickHandler onClick = nullptr;
};

struct WindowDescription {
  Text title;
  // The outer frame, title bar included. Its position is not used: the window
  // opens centred (CentredFramePosition).
  Rect frame;
  std::int32_t clientWidth = 0;
  std::int32_t clientHeight = 0;
  // The name of the application icon shown in the title bar.
  std::string_view icon;
  // In the order they are created; where places overlap, a later control
  // lies on top of an earlier one.
  std::vector<ControlDescription> controls;
};

// The main window. Fixed frame (not resizable, minimise and close buttons, no
// maximise button), button-face background, the default GUI font.
const WindowDescription& MainWindowDescription();

// Where a frame of frameWidth x frameHeight opens on a screen of
// screenWidth x screenHeight: centred, each half difference truncated toward
// zero.
Point CentredFramePosition(std::int32_t screenWidth, std::int32_t screenHeight,
                           std::int32_t frameWidth, std::int32_t frameHeight);

}  // namespace tarnwick

#endif  // TARNWICK_APP_MAIN_WINDOW_DESCRIPTION_H_
