#include "app/qt/main_window.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "app/qt/qt_text.h"
#include "platform/clipboard.h"
#include "text/text_search.h"

namespace tarnwick {
namespace {

// The text of the multi-line box `box`, with each line break as CR LF. The
// breaks are turned in the code page 936 bytes, where LF is never part of a
// character, once the copy of the box's UTF-16 is gone.
Text WithCrLf(const QPlainTextEdit* box) {
  const Text text = QStringToText(box->toPlainText());
  return TextReplace(text, "\n", "\r\n");
}

// `text` with each CR LF turned into the line break of a multi-line box.
QString WithLineBreaks(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Black text on white, whatever the desktop's colour scheme.
void PaintAsEditBox(QWidget* box) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  box->setPalette(palette);
}

QWidget* MakeEditBox(const ControlDescription& control, QWidget* parent) {
  if (!control.multiLine) {
    auto* box = new QLineEdit(TextToQString(control.text), parent);
    PaintAsEditBox(box);
    return box;
  }
  auto* box = new QPlainTextEdit(parent);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setTabChangesFocus(true);
  PaintAsEditBox(box);
  box->setPlainText(WithLineBreaks(TextToQString(control.text)));
  return box;
}

QWidget* MakeControl(const ControlDescription& control,
                     QButtonGroup& radioGroup, MainWindow& window) {
  switch (control.kind) {
    case ControlKind::kLabel: {
      auto* label = new QLabel(TextToQString(control.text), &window);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::kRadioButton: {
      auto* button = new QRadioButton(TextToQString(control.text), &window);
      radioGroup.addButton(button);
      button->setChecked(control.checked);
      return button;
    }
    case ControlKind::kEditBox:
      return MakeEditBox(control, &window);
    case ControlKind::kPushButton: {
      auto* button = new QPushButton(TextToQString(control.text), &window);
      if (control.onClick != nullptr) {
        QObject::connect(
            button, &QPushButton::clicked, &window,
            [&window, handler = control.onClick] { handler(window); });
      }
      return button;
    }
    case ControlKind::kPictureBox: {
      auto* picture = new QLabel(&window);
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      picture->setPixmap(QPixmap(IconResourcePath(control.picture)));
      return picture;
    }
  }
  return new QWidget(&window);
}

}  // namespace

QString IconResourcePath(std::string_view icon) {
  return QStringLiteral(":/tarnwick/") +
         QString::fromUtf8(icon.data(), static_cast<qsizetype>(icon.size()));
}

MainWindow::MainWindow(const WindowDescription& description)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  setWindowTitle(TextToQString(description.title));
  setWindowIcon(QIcon(IconResourcePath(description.icon)));
  setFixedSize(description.clientWidth, description.clientHeight);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);

  auto* radioGroup = new QButtonGroup(this);
  for (const ControlDescription& control : description.controls) {
    QWidget* widget = MakeControl(control, *radioGroup, *this);
    widget->setGeometry(control.place.left, control.place.top,
                        control.place.width, control.place.height);
    controls_.emplace(std::string(control.name),
                      ControlEntry{control.kind, control.multiLine, widget});
  }

  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return;
  const QRect screen = primary->geometry();
  const Point position =
      CentredFramePosition(screen.width(), screen.height(),
                           description.frame.width, description.frame.height);
  move(screen.left() + position.x, screen.top() + position.y);
}

MainWindow::~MainWindow() {
  if (platform::GetForegroundWindow() == this)
    platform::SetForegroundWindow(nullptr);
}

const MainWindow::ControlEntry* MainWindow::Find(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : &it->second;
}

QWidget* MainWindow::Control(std::string_view name) const {
  const ControlEntry* control = Find(name);
  return control == nullptr ? nullptr : control->widget;
}

Text MainWindow::GetControlText(std::string_view name) {
  const ControlEntry* control = Find(name);
  if (control == nullptr) return Text();
  switch (control->kind) {
    case ControlKind::kLabel:
      return QStringToText(static_cast<QLabel*>(control->widget)->text());
    case ControlKind::kRadioButton:
    case ControlKind::kPushButton:
      return QStringToText(
          static_cast<QAbstractButton*>(control->widget)->text());
    case ControlKind::kEditBox:
      if (control->multiLine) {
        return WithCrLf(static_cast<QPlainTextEdit*>(control->widget));
      }
      return QStringToText(static_cast<QLineEdit*>(control->widget)->text());
    case ControlKind::kPictureBox:
      break;
  }
  return Text();
}

bool MainWindow::IsChecked(std::string_view name) {
  const ControlEntry* control = Find(name);
  return control != nullptr && control->kind == ControlKind::kRadioButton &&
         static_cast<QRadioButton*>(control->widget)->isChecked();
}

void MainWindow::SetControlText(std::string_view name, const Text& text) {
  const ControlEntry* control = Find(name);
  if (control == nullptr) return;
  switch (control->kind) {
    case ControlKind::kLabel:
      static_cast<QLabel*>(control->widget)->setText(TextToQString(text));
      break;
    case ControlKind::kRadioButton:
    case ControlKind::kPushButton:
      static_cast<QAbstractButton*>(control->widget)
          ->setText(TextToQString(text));
      break;
    case ControlKind::kEditBox:
      if (control->multiLine) {
        static_cast<QPlainTextEdit*>(control->widget)
            ->setPlainText(WithLineBreaks(TextToQString(text)));
      } else {
        static_cast<QLineEdit*>(control->widget)->setText(TextToQString(text));
      }
      break;
    case ControlKind::kPictureBox:
      break;
  }
}

void MainWindow::ShowMessageBox(const Text& text, const Text& title) {
  QMessageBox box(QMessageBox::NoIcon, TextToQString(title),
                  TextToQString(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.button(QMessageBox::Ok)->setIcon(QIcon());
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void MainWindow::EndProcess(std::int32_t exitCode) {
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    platform::SetForegroundWindow(isActiveWindow() ? this : nullptr);
  }
  QWidget::changeEvent(event);
}

}  // namespace tarnwick
