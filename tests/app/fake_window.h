// A window for testing the commands: controls are entries of a map, and the
// message box and the end of the process are recorded instead of happening.
#ifndef TARNWICK_TESTS_APP_FAKE_WINDOW_H_
#define TARNWICK_TESTS_APP_FAKE_WINDOW_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_operations.h"
#include "text/text.h"

namespace tarnwick::testing {

class FakeWindow : public WindowOperations {
 public:
  struct MessageBox {
    Text text;
    Text title;
  };

  std::map<std::string, Text, std::less<>> texts;
  std::set<std::string, std::less<>> checked;
  // Every SetControlText, as control name and text.
  std::vector<std::pair<std::string, Text>> writes;
  std::vector<MessageBox> messageBoxes;
  std::vector<std::int32_t> exitCodes;
  // Every operation's name, in order.
  std::vector<std::string> operations;

  Text GetControlText(std::string_view control) override {
    operations.push_back("GetControlText " + std::string(control));
    const auto it = texts.find(control);
    return it == texts.end() ? Text() : it->second;
  }
  bool IsChecked(std::string_view control) override {
    operations.push_back("IsChecked " + std::string(control));
    return checked.contains(control);
  }
  void SetControlText(std::string_view control, const Text& text) override {
    operations.push_back("SetControlText " + std::string(control));
    texts.insert_or_assign(std::string(control), text);
    writes.emplace_back(std::string(control), text);
  }
  void ShowMessageBox(const Text& text, const Text& title) override {
    operations.push_back("ShowMessageBox");
    messageBoxes.push_back({text, title});
  }
  void EndProcess(std::int32_t exitCode) override {
    operations.push_back("EndProcess");
    exitCodes.push_back(exitCode);
  }
};

}  // namespace tarnwick::testing

#endif  // TARNWICK_TESTS_APP_FAKE_WINDOW_H_
