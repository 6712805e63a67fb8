// The header text of a response in the one form every request object gives
// it: the header lines "Name: value" joined by CR LF, without the status line
// and without a line break or zero byte at the end.
#ifndef TARNWICK_WEB_WINDOWS_RESPONSE_HEADER_TEXT_H_
#define TARNWICK_WEB_WINDOWS_RESPONSE_HEADER_TEXT_H_

#include "text/text.h"

namespace tarnwick {

// `raw` as the platform's request object gives it (code page 936): some
// versions put the status line ("HTTP/1.1 200 OK") first and end the text with
// an empty line. The status line and every CR and LF at the end are dropped;
// the lines in between are kept as they are.
Text ResponseHeaderText(const Text& raw);

}  // namespace tarnwick

#endif  // TARNWICK_WEB_WINDOWS_RESPONSE_HEADER_TEXT_H_
