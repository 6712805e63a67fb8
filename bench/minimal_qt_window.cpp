// The baseline for Tarnwick's start-up time and idle memory: a minimal Qt 6
// program showing the same nine widgets at the same places, with none of
// Tarnwick's own code.
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Minimal nine widgets"));
  window.setFixedSize(469, 183);

  auto* label = new QLabel(QStringLiteral("提示：选择想要下载的目标，输入链接，点击解析"), &window);
  label->setGeometry(8, 0, 272, 24);
  QButtonGroup group;
  const char* captions[] = {"千图网", "千库网", "17素材网"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(captions[i]), &window);
    radio->setGeometry(280 + 56 * i, 0, 80, 24);
    group.addButton(radio);
    radio->setChecked(i == 0);
  }
  (new QLineEdit(&window))->setGeometry(8, 24, 376, 40);
  (new QPushButton(QStringLiteral("一键解析"), &window))->setGeometry(392, 24, 64, 40);
  auto* output = new QPlainTextEdit(QStringLiteral("示例链接如下：\n\n千图网：https://www.58pic.com/newpic/35186413.html"), &window);
  output->setGeometry(8, 72, 376, 96);
  (new QPushButton(QStringLiteral("复制内容"), &window))->setGeometry(392, 72, 64, 40);
  QPixmap picture(48, 48);
  picture.fill(Qt::darkCyan);
  auto* pictureBox = new QLabel(&window);
  pictureBox->setPixmap(picture);
  pictureBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pictureBox->setGeometry(400, 120, 72, 56);

  window.show();
  return QApplication::exec();
}
