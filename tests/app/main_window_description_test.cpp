#include "app/main_window_description.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_names.h"
#include "app/copy_result.h"
#include "app/resolve_link.h"
#include "text/code_page.h"

namespace tarnwick {
namespace {

// The code page 936 text of the UTF-8 `utf8`, to check the escapes in the
// description against a readable spelling.
Text Cp936(const char* utf8) { return Utf8ToCp936(Text(utf8)); }

TEST(MainWindowDescriptionTest, FrameMatchesTheWindowsLayout) {
  const WindowDescription& window = MainWindowDescription();
  EXPECT_EQ(window.title, Text("Tarnwick v1.0   by Ormelin@Kestrova"));
  EXPECT_EQ(window.frame.width, 475);
  EXPECT_EQ(window.frame.height, 208);
  EXPECT_EQ(window.clientWidth, 469);
  EXPECT_EQ(window.clientHeight, 183);
}

TEST(MainWindowDescriptionTest, ControlsHaveTheirPlacesTextsAndSettings) {
  struct Expected {
    std::string_view name;
    ControlKind kind;
    Rect place;
    Text text;
    bool checked;
    bool multiLine;
    ClickHandler onClick;
  };
  const std::vector<Expected> expected = {
      {kLabel1,
       ControlKind::kLabel,
       {8, 0, 272, 24},
       Cp936("提示：选择想要下载的目标，输入链接，点击解析"),
       false,
       false,
       nullptr},
      {kRadioButton1,
       ControlKind::kRadioButton,
       {280, 0, 80, 24},
       Cp936("千图网"),
       true,
       false,
       nullptr},
      {kRadioButton2,
       ControlKind::kRadioButton,
       {336, 0, 80, 24},
       Cp936("千库网"),
       false,
       false,
       nullptr},
      {kRadioButton3,
       ControlKind::kRadioButton,
       {392, 0, 80, 24},
       Cp936("17素材网"),
       false,
       false,
       nullptr},
      {kEditBox1,
       ControlKind::kEditBox,
       {8, 24, 376, 40},
       Text(),
       false,
       false,
       nullptr},
      {kResolveButton,
       ControlKind::kPushButton,
       {392, 24, 64, 40},
       Cp936("一键解析"),
       false,
       false,
       &ResolveLink},
      {kEditBox2,
       ControlKind::kEditBox,
       {8, 72, 376, 96},
       Cp936("示例链接如下：\r\n"
             "\r\n"
             "千图网：https://www.58pic.com/newpic/35186413.html\r\n"
             "\r\n"
             "千库网：https://588ku.com/ycwordart/10486512.html\r\n"
             "\r\n"
             "17素材网：https://www.17sucai.com/pins/22955.html"),
       false,
       true,
       nullptr},
      {kCopyButton,
       ControlKind::kPushButton,
       {392, 72, 64, 40},
       Cp936("复制内容"),
       false,
       false,
       &CopyResult},
      {kPictureBox1,
       ControlKind::kPictureBox,
       {400, 120, 72, 56},
       Text(),
       false,
       false,
       nullptr},
  };
  const std::vector<ControlDescription>& controls =
      MainWindowDescription().controls;
  ASSERT_EQ(controls.size(), expected.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlDescription& control = controls[i];
    const Expected& e = expected[i];
    SCOPED_TRACE(std::string(e.name));
    EXPECT_EQ(control.name, e.name);
    EXPECT_EQ(control.kind, e.kind);
    EXPECT_EQ(control.place.left, e.place.left);
    EXPECT_EQ(control.place.top, e.place.top);
    EXPECT_EQ(control.place.width, e.place.width);
    EXPECT_EQ(control.place.height, e.place.height);
    EXPECT_EQ(control.text, e.text);
    EXPECT_EQ(control.checked, e.checked);
    EXPECT_EQ(control.multiLine, e.multiLine);
    EXPECT_EQ(control.onClick, e.onClick);
    EXPECT_EQ(control.picture.empty(), e.kind != ControlKind::kPictureBox);
  }
}

TEST(MainWindowDescriptionTest, FrameOpensCentredTruncatingTowardZero) {
  struct Case {
    std::int32_t screenWidth;
    std::int32_t screenHeight;
    Point position;
  };
  const Case cases[] = {
      {1024, 768, {274, 280}},
      {1025, 769, {275, 280}},
      {475, 208, {0, 0}},
      {400, 200, {-37, -4}},  // a screen smaller than the frame
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CentredFramePosition(c.screenWidth, c.screenHeight, 475, 208),
              c.position)
        << c.screenWidth << "x" << c.screenHeight;
  }
}

}  // namespace
}  // namespace tarnwick
