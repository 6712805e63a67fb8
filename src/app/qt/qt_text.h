// Conversion between Text (code page 936) and the toolkit's Unicode strings,
// through the code page functions.
#ifndef TARNWICK_APP_QT_QT_TEXT_H_
#define TARNWICK_APP_QT_QT_TEXT_H_

#include <QString>

#include "text/text.h"

namespace tarnwick {

// `text` read in code page 936; a byte pair without a character comes out as
// the code page functions substitute it.
QString TextToQString(const Text& text);

// `string` written in code page 936, cut at its first U+0000; a character
// the code page lacks becomes "?".
Text QStringToText(const QString& string);

}  // namespace tarnwick

#endif  // TARNWICK_APP_QT_QT_TEXT_H_
