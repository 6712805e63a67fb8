// Holds the clipboard open from a thread of its own, as another program
// would, for as long as it lives.
#ifndef TARNWICK_TESTS_PLATFORM_OTHER_CLIPBOARD_HOLDER_H_
#define TARNWICK_TESTS_PLATFORM_OTHER_CLIPBOARD_HOLDER_H_

#include <future>
#include <thread>

#include "platform/clipboard.h"

namespace tarnwick::testing {

class OtherClipboardHolder {
 public:
  OtherClipboardHolder()
      : thread_([this] {
          openedPromise_.set_value(platform::OpenClipboard(nullptr));
          release_.get_future().wait();
          platform::CloseClipboard();
        }) {
    opened_ = openedPromise_.get_future().get();
  }
  ~OtherClipboardHolder() {
    release_.set_value();
    thread_.join();
  }
  OtherClipboardHolder(const OtherClipboardHolder&) = delete;
  OtherClipboardHolder& operator=(const OtherClipboardHolder&) = delete;

  // Whether it got the clipboard open.
  bool opened() const { return opened_; }

 private:
  std::promise<bool> openedPromise_;
  std::promise<void> release_;
  std::thread thread_;
  bool opened_ = false;
};

}  // namespace tarnwick::testing

#endif  // TARNWICK_TESTS_PLATFORM_OTHER_CLIPBOARD_HOLDER_H_
