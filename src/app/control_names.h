// The names of the main window's controls, by which the window operations
// reach them. They are identifiers in UTF-8, not texts of the window.
#ifndef TARNWICK_APP_CONTROL_NAMES_H_
#define TARNWICK_APP_CONTROL_NAMES_H_

#include <string_view>

namespace tarnwick {

inline constexpr std::string_view kLabel1 = "标签1";
inline constexpr std::string_view kRadioButton1 = "单选框1";
inline constexpr std::string_view kRadioButton2 = "单选框2";
inline constexpr std::string_view kRadioButton3 = "单选框3";
inline constexpr std::string_view kEditBox1 = "编辑框1";
inline constexpr std::string_view kResolveButton = "按钮_解析";
inline constexpr std::string_view kEditBox2 = "编辑框2";
inline constexpr std::string_view kCopyButton = "按钮_解析1";
inline constexpr std::string_view kPictureBox1 = "图片框1";

}  // namespace tarnwick

#endif  // TARNWICK_APP_CONTROL_NAMES_H_
