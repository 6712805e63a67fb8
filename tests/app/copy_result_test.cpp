#include "app/copy_result.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/clipboard_block.h"
#include "app/control_names.h"
#include "app/fake_window.h"
#include "app/main_window_description.h"
#include "platform/clipboard.h"

namespace tarnwick {
namespace {

using testing::ClipboardBlock;

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
