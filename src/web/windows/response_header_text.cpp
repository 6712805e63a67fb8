#include "web/windows/response_header_text.h"

#include <string_view>

namespace tarnwick {

Text ResponseHeaderText(const Text& raw) {
  std::string_view text = raw.view();
  if (text.starts_with("HTTP/")) {
    const std::size_t lineEnd = text.find("\r\n");
    text.remove_prefix(lineEnd == std::string_view::npos ? text.size()
                                                         : lineEnd + 2);
  }
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return Text(text);
}

}  // namespace tarnwick
