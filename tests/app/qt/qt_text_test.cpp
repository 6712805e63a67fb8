#include "app/qt/qt_text.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(QtTextTest, ConvertsBetweenCodePage936AndUnicode) {
  struct Case {
    const char* name;
    Text text;
    QString string;
  };
  const Case cases[] = {
      {"empty", Text(), QString()},
      {"ascii with line ends", "a\r\nb", QStringLiteral("a\r\nb")},
      {"chinese and full-width colon", "\xC7\xA7\xCD\xBC\xCD\xF8\xA3\xBA",
       QString::fromUtf8("千图网：")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToQString(c.text), c.string) << c.name;
    EXPECT_EQ(QStringToText(c.string), c.text) << c.name;
  }
}

TEST(QtTextTest, UnicodeOutsideTheCodePageBecomesQuestionMarks) {
  EXPECT_EQ(QStringToText(QString::fromUtf8("a\xE0\xB8\x81"
                                            "b")),
            Text("a?b"));
  // A character beyond the BMP: one "?" per UTF-16 unit.
  EXPECT_EQ(QStringToText(QString::fromUtf8("\xF0\x9F\x98\x80")), Text("??"));
}

TEST(QtTextTest, UnicodeIsCutAtItsFirstNul) {
  EXPECT_EQ(
      QStringToText(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")),
      Text("ab"));
}

}  // namespace
}  // namespace tarnwick
