#include "app/main_window_description.h"

#include <utility>

#include "app/control_names.h"
#include "app/copy_result.h"
#include "app/resolve_link.h"

namespace tarnwick {
namespace {

ControlDescription Control(ControlKind kind, std::string_view name, Rect place,
                           Text text) {
  ControlDescription control;
  control.kind = kind;
  control.name = name;
  control.place = place;
  control.text = std::move(text);
  return control;
}

ControlDescription RadioButton(std::string_view name, Rect place, Text caption,
                               bool checked) {
  ControlDescription control =
      Control(ControlKind::kRadioButton, name, place, std::move(caption));
  control.checked = checked;
  return control;
}

ControlDescription EditBox(std::string_view name, Rect place, Text content,
                           bool multiLine) {
  ControlDescription control =
      Control(ControlKind::kEditBox, name, place, std::move(content));
  control.multiLine = multiLine;
  return control;
}

ControlDescription PushButton(std::string_view name, Rect place, Text caption,
                              ClickHandler onClick) {
  ControlDescription control =
      Control(ControlKind::kPushButton, name, place, std::move(caption));
  control.onClick = onClick;
  return control;
}

ControlDescription PictureBox(std::string_view name, Rect place,
                              std::string_view picture) {
  ControlDescription control =
      Control(ControlKind::kPictureBox, name, place, Text());
  control.picture = picture;
  return control;
}

WindowDescription MakeMainWindowDescription() {
  WindowDescription window;
  window.title = "Tarnwick v1.0   by Ormelin@Kestrova";
  window.frame = {50, 50, 475, 208};
  window.clientWidth = 469;
  window.clientHeight = 183;
  window.icon = "tarnwick.ico";
  window.controls = {
      // "Tip: choose the target to download, enter the link, click resolve"
      Control(ControlKind::kLabel, kLabel1, {8, 0, 272, 24},
              "\xCC\xE1\xCA\xBE\xA3\xBA\xD1\xA1\xD4\xF1\xCF\xEB\xD2\xAA\xCF\xC2"
              "\xD4\xD8\xB5\xC4\xC4\xBF\xB1\xEA\xA3\xAC\xCA\xE4\xC8\xEB\xC1\xB4"
              "\xBD\xD3\xA3\xAC\xB5\xE3\xBB\xF7\xBD\xE2\xCE\xF6"),
      RadioButton(kRadioButton1, {280, 0, 80, 24}, "\xC7\xA7\xCD\xBC\xCD\xF8",
                  true),
      RadioButton(kRadioButton2, {336, 0, 80, 24}, "\xC7\xA7\xBF\xE2\xCD\xF8",
                  false),
      RadioButton(kRadioButton3, {392, 0, 80, 24}, "17\xCB\xD8\xB2\xC4\xCD\xF8",
                  false),
      EditBox(kEditBox1, {8, 24, 376, 40}, Text(), false),
      PushButton(kResolveButton, {392, 24, 64, 40},
                 "\xD2\xBB\xBC\xFC\xBD\xE2\xCE\xF6", &ResolveLink),
      EditBox(kEditBox2, {8, 72, 376, 96},
              "\xCA\xBE\xC0\xFD\xC1\xB4\xBD\xD3\xC8\xE7\xCF\xC2\xA3\xBA\r\n"
              "\r\n"
              "\xC7\xA7\xCD\xBC\xCD\xF8\xA3\xBA"
              "https://www.58pic.com/newpic/35186413.html\r\n"
              "\r\n"
              "\xC7\xA7\xBF\xE2\xCD\xF8\xA3\xBA"
              "https://588ku.com/ycwordart/10486512.html\r\n"
              "\r\n"
              "17\xCB\xD8\xB2\xC4\xCD\xF8\xA3\xBA"
              "https://www.17sucai.com/pins/22955.html",
              true),
      PushButton(kCopyButton, {392, 72, 64, 40},
                 "\xB8\xB4\xD6\xC6\xC4\xDA\xC8\xDD", &CopyResult),
      PictureBox(kPictureBox1, {400, 120, 72, 56}, "picture.ico"),
  };
  return window;
}

}  // namespace

const WindowDescription& MainWindowDescription() {
  static const WindowDescription description = MakeMainWindowDescription();
  return description;
}

Point CentredFramePosition(std::int32_t screenWidth, std::int32_t screenHeight,
                           std::int32_t frameWidth, std::int32_t frameHeight) {
  const auto half = [](std::int32_t screen, std::int32_t frame) {
    return static_cast<std::int32_t>(
        (static_cast<std::int64_t>(screen) - frame) / 2);
  };
  return {half(screenWidth, frameWidth), half(screenHeight, frameHeight)};
}

}  // namespace tarnwick
