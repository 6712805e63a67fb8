// Conversion between Text (code page 936) and the window system's wide
// strings, through the code page functions with code page 936 named
// explicitly: the window shows the same characters whatever the system's
// ANSI code page is.
#ifndef TARNWICK_APP_WINDOWS_WIDE_TEXT_H_
#define TARNWICK_APP_WINDOWS_WIDE_TEXT_H_

#include <string>
#include <string_view>

#include "text/text.h"

namespace tarnwick {

// `text` read in code page 936; empty for the empty text.
std::wstring TextToWideString(const Text& text);

// `wide` written in code page 936, up to its first zero unit; a character
// that code page 936 lacks comes out as the code page functions substitute it.
Text WideStringToText(std::wstring_view wide);

}  // namespace tarnwick

#endif  // TARNWICK_APP_WINDOWS_WIDE_TEXT_H_
