#include "app/resolve_link.h"

#include <cstdint>

#include "app/control_names.h"
#include "app/resolve_service_host.h"
#include "text/bytes.h"
#include "text/code_page.h"
#include "web/web_request.h"

namespace tarnwick {
namespace {

// "输入链接为空，请重试" and "信息：".
constexpr char kEmptyLinkMessage[] =
    "\xCA\xE4\xC8\xEB\xC1\xB4\xBD\xD3\xCE\xAA\xBF\xD5\xA3\xAC\xC7\xEB\xD6\xD8"
    "\xCA\xD4";
constexpr char kEmptyLinkTitle[] = "\xD0\xC5\xCF\xA2\xA3\xBA";

constexpr std::int32_t kEmptyLinkExitCode = 0;

Text EndpointUrl(const char* path) {
  return TextConcat("http://", kResolveServiceHost, path);
}

// The body of the service's reply to a POST of `body` to `endpointUrl`, as
// text: up to its first zero byte, empty when the request failed.
Text ReplyText(const Text& endpointUrl, const Text& body) {
  // Every result besides the body is taken and dropped.
  Text returnedCookies;
  Text headers;
  Text returnedHeaders;
  std::int32_t statusCode = 0;
  return BytesToText(WebRequest(endpointUrl,
                                {.method = kMethodPost,
                                 .postText = body,
                                 .returnedCookies = &returnedCookies,
                                 .extraHeaders = &headers,
                                 .returnedHeaders = &returnedHeaders,
                                 .statusCode = &statusCode}));
}

}  // namespace

const std::array<Site, 3>& SiteTable() {
  static const std::array<Site, 3> sites = {{
      {kRadioButton1, EndpointUrl("/58pic/58pic.php")},
      {kRadioButton2, EndpointUrl("/588ku/588ku.php")},
      {kRadioButton3, EndpointUrl("/17sucai/17sucai.php")},
  }};
  return sites;
}

void ResolveLink(WindowOperations& window) {
  if (TextEqual(window.GetControlText(kEditBox1), Text())) {
    window.ShowMessageBox(kEmptyLinkMessage, kEmptyLinkTitle);
    window.EndProcess(kEmptyLinkExitCode);
    return;
  }
  for (const Site& site : SiteTable()) {
    if (!window.IsChecked(site.radioButton)) continue;
    const Text body = TextConcat("url=", window.GetControlText(kEditBox1));
    // The reply and its text copy are gone before the result is shown, so
    // that a large reply is not held three times over while the output box
    // takes its own copy.
    const Text converted = Utf8ToCp936(ReplyText(site.endpointUrl, body));
    window.SetControlText(kEditBox2, converted);
  }
}

}  // namespace tarnwick
