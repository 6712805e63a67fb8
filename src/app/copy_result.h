// CopyResult: the click handler of the copy button. Puts the whole text of
// 编辑框2 (code page 936, CR LF line ends, unchanged) on the clipboard.
#ifndef TARNWICK_APP_COPY_RESULT_H_
#define TARNWICK_APP_COPY_RESULT_H_

#include "app/window_operations.h"

namespace tarnwick {

void CopyResult(WindowOperations& window);

}  // namespace tarnwick

#endif  // TARNWICK_APP_COPY_RESULT_H_
