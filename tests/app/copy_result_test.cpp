#include "app/copy_result.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/control_names.h"
#include "app/fake_window.h"
#include "app/main_window_description.h"
#include "platform/clipboard.h"

namespace tarnwick {
namespace {

// All bytes of the clipboard's CF_TEXT block; nullopt when it holds none.
std::optional<std::string> ClipboardBlock() {
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

Text InitialOutputText() {
  for (const ControlDescription& control : MainWindowDescription().controls) {
    if (control.name == kEditBox2) return control.text;
  }
  return Text();
}

using testing::FakeWindow;

TEST(CopyResultTest, CopiesTheOutputBoxAsItIs) {
  struct Case {
    const char* name;
    Text output;
  };
  const Case cases[] = {
      {"initial example text", InitialOutputText()},
      {"typed text", "\xC7\xA7\xCD\xBC\xCD\xF8\r\n  x\r\n"},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    FakeWindow window;
    window.texts.emplace(kEditBox1, "not copied");
    window.texts.emplace(kEditBox2, c.output);

    CopyResult(window);

    EXPECT_EQ(ClipboardBlock(), c.output.str() + std::string(1, '\0'))
        << c.name;
  }
}

}  // namespace
}  // namespace tarnwick
