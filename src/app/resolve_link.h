// ResolveLink: the click handler of the resolve button. Sends the link in
// 编辑框1 to the resolving service's endpoint of the checked site and puts the
// reply into 编辑框2.
#ifndef TARNWICK_APP_RESOLVE_LINK_H_
#define TARNWICK_APP_RESOLVE_LINK_H_

#include <array>
#include <string_view>

#include "app/window_operations.h"
#include "text/text.h"

namespace tarnwick {

// One row of the site table: the radio button that picks the site and the
// service's endpoint for it, a plain HTTP URL on kResolveServiceHost.
struct Site {
  std::string_view radioButton;
  Text endpointUrl;
};

// The three sites, in the order they are tested.
const std::array<Site, 3>& SiteTable();

// An exactly empty link in 编辑框1 (blanks are a link): the message box
// "输入链接为空，请重试" titled "信息：", then the process ends with exit code
// 0 and nothing else runs. Otherwise, for each checked row of the site table in
// turn, one POST of "url=" + the link (read again, unescaped) to the row's
// endpoint; the reply, cut at its first zero byte and converted from UTF-8 to
// code page 936, replaces 编辑框2's content (a failed exchange empties it). No
// checked row: nothing happens.
void ResolveLink(WindowOperations& window);

}  // namespace tarnwick

#endif  // TARNWICK_APP_RESOLVE_LINK_H_
