// The QApplication of a Qt test program, on the offscreen platform so that
// no display is needed. Made on first use and kept for the whole run.
#ifndef TARNWICK_TESTS_APP_QT_OFFSCREEN_APPLICATION_H_
#define TARNWICK_TESTS_APP_QT_OFFSCREEN_APPLICATION_H_

#include <QApplication>

namespace tarnwick::testing {

inline QApplication& OffscreenApplication() {
  static int argc = 1;
  static char programName[] = "tarnwick_test";
  static char* argv[] = {programName, nullptr};
  static QApplication* const application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *application;
}

}  // namespace tarnwick::testing

#endif  // TARNWICK_TESTS_APP_QT_OFFSCREEN_APPLICATION_H_
