// The desktop clipboard publisher over Qt: installed by StartProgram so that
// what the platform clipboard accepts reaches the desktop's clipboard.
#ifndef TARNWICK_APP_QT_DESKTOP_CLIPBOARD_H_
#define TARNWICK_APP_QT_DESKTOP_CLIPBOARD_H_

#include <optional>
#include <string>

namespace tarnwick {

// Puts `utf8Text` on the desktop clipboard, or clears it for nullopt. Does
// nothing without a QGuiApplication. Call on the user-interface thread.
void PublishToDesktopClipboard(const std::optional<std::string>& utf8Text);

}  // namespace tarnwick

#endif  // TARNWICK_APP_QT_DESKTOP_CLIPBOARD_H_
