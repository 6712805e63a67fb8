#include "app/qt/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/control_names.h"
#include "app/main_window_description.h"
#include "app/qt/offscreen_application.h"
#include "platform/clipboard.h"

namespace tarnwick {
namespace {

// The clicks a handler received, as the handler's name and the window.
std::vector<std::pair<std::string, WindowOperations*>> clicks;

// The main window's description with recording click handlers.
WindowDescription RecordingDescription() {
  WindowDescription description = MainWindowDescription();
  for (ControlDescription& control : description.controls) {
    if (control.name == kResolveButton) {
      control.onClick = [](WindowOperations& window) {
        clicks.emplace_back("resolve", &window);
      };
    } else if (control.name == kCopyButton) {
      control.onClick = [](WindowOperations& window) {
        clicks.emplace_back("copy", &window);
      };
    }
  }
  return description;
}

const ControlDescription& Described(std::string_view name) {
  for (const ControlDescription& control : MainWindowDescription().controls) {
    if (control.name == name) return control;
  }
  throw std::logic_error("no such control");
}

// Clicks the window at `point` (client coordinates) on whatever control lies
// on top there, as a user's click would reach it.
void ClickAt(QWidget& window, QPoint point) {
  QWidget* target = window.childAt(point);
  ASSERT_NE(target, nullptr);
  QTest::mouseClick(target, Qt::LeftButton, {},
                    target->mapFrom(&window, point));
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::OffscreenApplication(); }

  MainWindowTest() : window_(RecordingDescription()) {
    clicks.clear();
    window_.show();
  }

  template <typename Widget>
  Widget* Get(std::string_view name) {
    auto* widget = qobject_cast<Widget*>(window_.Control(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  MainWindow window_;
};

TEST_F(MainWindowTest, FrameIsFixedCentredAndTitled) {
  EXPECT_EQ(window_.windowTitle(),
            QStringLiteral("Tarnwick v1.0   by Ormelin@Kestrova"));
  EXPECT_EQ(window_.size(), QSize(469, 183));
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());

  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const Point centred =
      CentredFramePosition(screen.width(), screen.height(), 475, 208);
  EXPECT_EQ(window_.frameGeometry().topLeft(), QPoint(centred.x, centred.y));
  EXPECT_FALSE(window_.windowIcon().isNull());
}

TEST_F(MainWindowTest, ControlsStandAtTheirPlacesWithTheirTexts) {
  for (const ControlDescription& control : MainWindowDescription().controls) {
    QWidget* widget = window_.Control(control.name);
    ASSERT_NE(widget, nullptr) << control.name;
    EXPECT_EQ(widget->geometry(),
              QRect(control.place.left, control.place.top, control.place.width,
                    control.place.height))
        << control.name;
    EXPECT_TRUE(widget->isVisible()) << control.name;
    EXPECT_TRUE(widget->isEnabled()) << control.name;
  }
  EXPECT_EQ(Get<QLabel>(kLabel1)->text(),
            QString::fromUtf8("提示：选择想要下载的目标，输入链接，点击解析"));
  EXPECT_EQ(Get<QRadioButton>(kRadioButton3)->text(),
            QString::fromUtf8("17素材网"));
  EXPECT_EQ(Get<QPushButton>(kResolveButton)->text(),
            QString::fromUtf8("一键解析"));
  EXPECT_EQ(Get<QPushButton>(kCopyButton)->text(),
            QString::fromUtf8("复制内容"));
  EXPECT_TRUE(Get<QLineEdit>(kEditBox1)->text().isEmpty());
  EXPECT_EQ(
      Get<QPlainTextEdit>(kEditBox2)->toPlainText(),
      QString::fromUtf8("示例链接如下：\n\n"
                        "千图网：https://www.58pic.com/newpic/35186413.html\n\n"
                        "千库网：https://588ku.com/ycwordart/10486512.html\n\n"
                        "17素材网：https://www.17sucai.com/pins/22955.html"));
  const QPixmap picture = Get<QLabel>(kPictureBox1)->pixmap();
  EXPECT_EQ(picture.size(), QSize(48, 48));
  EXPECT_EQ(Get<QLabel>(kPictureBox1)->alignment(),
            Qt::AlignLeft | Qt::AlignTop);
}

TEST_F(MainWindowTest, OutputBoxWrapsWithoutScrollBars) {
  auto* box = Get<QPlainTextEdit>(kEditBox2);
  EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_FALSE(box->isReadOnly());
  EXPECT_FALSE(Get<QLineEdit>(kEditBox1)->isReadOnly());
}

TEST_F(MainWindowTest, RadioButtonsFormOneGroupAndEachCanBeClicked) {
  const std::string_view radioButtons[] = {kRadioButton1, kRadioButton2,
                                           kRadioButton3};
  EXPECT_TRUE(window_.IsChecked(kRadioButton1));
  EXPECT_FALSE(window_.IsChecked(kRadioButton2));
  EXPECT_FALSE(window_.IsChecked(kRadioButton3));

  for (std::string_view clicked :
       {kRadioButton3, kRadioButton2, kRadioButton1, kRadioButton1}) {
    const Rect place = Described(clicked).place;
    // Where a user aims: the mark at the left end, which no later control
    // covers.
    ClickAt(window_, QPoint(place.left + 6, place.top + place.height / 2));
    for (std::string_view radioButton : radioButtons) {
      EXPECT_EQ(window_.IsChecked(radioButton), radioButton == clicked)
          << "after clicking " << clicked << ": " << radioButton;
    }
  }
  EXPECT_FALSE(window_.IsChecked(kEditBox1));
}

TEST_F(MainWindowTest, ClicksReachTheirHandlersWithTheWindow) {
  for (std::string_view button :
       {kResolveButton, kCopyButton, kResolveButton}) {
    const Rect place = Described(button).place;
    ClickAt(window_,
            QPoint(place.left + place.width / 2, place.top + place.height / 2));
  }
  const std::vector<std::pair<std::string, WindowOperations*>> expected = {
      {"resolve", &window_}, {"copy", &window_}, {"resolve", &window_}};
  EXPECT_EQ(clicks, expected);
}

TEST_F(MainWindowTest, OutputBoxTakesAndGivesCrLfLineEnds) {
  auto* box = Get<QPlainTextEdit>(kEditBox2);
  EXPECT_EQ(window_.GetControlText(kEditBox2), Described(kEditBox2).text);

  window_.SetControlText(kEditBox2, "\xC7\xA7\xCD\xBC\xCD\xF8\r\n\r\nb");
  EXPECT_EQ(box->toPlainText(), QString::fromUtf8("千图网\n\nb"));
  EXPECT_EQ(box->document()->blockCount(), 3);
  EXPECT_EQ(window_.GetControlText(kEditBox2),
            Text("\xC7\xA7\xCD\xBC\xCD\xF8\r\n\r\nb"));

  // Enter starts a new line.
  box->setFocus();
  box->moveCursor(QTextCursor::End);
  QTest::keyClick(box, Qt::Key_Return);
  QTest::keyClicks(box, QStringLiteral("c"));
  EXPECT_EQ(window_.GetControlText(kEditBox2),
            Text("\xC7\xA7\xCD\xBC\xCD\xF8\r\n\r\nb\r\nc"));

  window_.SetControlText(kEditBox2, Text());
  EXPECT_EQ(window_.GetControlText(kEditBox2), Text());
}

TEST_F(MainWindowTest, InputBoxHoldsOneLineOfText) {
  auto* box = Get<QLineEdit>(kEditBox1);
  QTest::keyClicks(box, QStringLiteral("https://x/"));
  QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("千"));
  QApplication::sendEvent(box, &typed);
  EXPECT_EQ(window_.GetControlText(kEditBox1), Text("https://x/\xC7\xA7"));
  window_.SetControlText(kEditBox1, "  ");
  EXPECT_EQ(box->text(), QStringLiteral("  "));
}

TEST_F(MainWindowTest, UnknownControlsGiveEmptyResults) {
  EXPECT_EQ(window_.GetControlText("none"), Text());
  EXPECT_FALSE(window_.IsChecked("none"));
  window_.SetControlText("none", "x");
  EXPECT_EQ(window_.Control("none"), nullptr);
}

TEST_F(MainWindowTest, MessageBoxHasOnlyOkNoIconAndNoOwner) {
  struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons;
    QWidget* owner = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
  };
  std::optional<Seen> seen;
  // Looks at the box once it is up, then clicks its OK.
  QTimer user;
  user.setInterval(10);
  QObject::connect(&user, &QTimer::timeout, [&seen, &user] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    user.stop();
    seen = Seen{box->windowTitle(),  box->text(),
                box->icon(),         box->standardButtons(),
                box->parentWidget(), box->windowModality()};
    box->button(QMessageBox::Ok)->click();
  });
  user.start();

  window_.ShowMessageBox(
      "\xCA\xE4\xC8\xEB\xC1\xB4\xBD\xD3\xCE\xAA\xBF\xD5\xA3\xAC\xC7\xEB"
      "\xD6\xD8\xCA\xD4",
      "\xD0\xC5\xCF\xA2\xA3\xBA");

  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(seen->title, QString::fromUtf8("信息："));
  EXPECT_EQ(seen->text, QString::fromUtf8("输入链接为空，请重试"));
  EXPECT_EQ(seen->icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen->buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(seen->owner, nullptr);
  EXPECT_EQ(seen->modality, Qt::ApplicationModal);
}

TEST_F(MainWindowTest, ActiveWindowIsTheForegroundWindow) {
  window_.activateWindow();
  QApplication::setActiveWindow(&window_);
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
  EXPECT_EQ(platform::GetForegroundWindow(), &window_);
}

}  // namespace
}  // namespace tarnwick
