#include "web/header_block.h"

#include "text/text_search.h"
#include "web/web_request.h"

namespace tarnwick {

namespace {

constexpr char kLineBreak[] = "\r\n";

bool Lacks(const Text& block, const char* marker) {
  return TextFind(block, marker, 1, false) == -1;
}

}  // namespace

void CompleteHeaderBlock(Text& block, const Text& url, std::int32_t method) {
  if (TextEqual(block, Text())) {
    block = Text("Accept: */*");
  } else if (Lacks(block, "Accept:")) {
    block = TextConcat(block, "\r\nAccept: */*");
  }
  if (Lacks(block, "Referer:")) {
    block = TextConcat(block, "\r\nReferer: ", url);
  }
  if (Lacks(block, "Accept-Language:")) {
    block = TextConcat(block, "\r\nAccept-Language: zh-cn");
  }
  if (Lacks(block, "User-Agent:")) {
    block = TextConcat(
        block,
        "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  }
  if (method == kMethodPost) {
    block = TextReplace(block, "content-type", "Content-Type", 1, -1, true);
    if (Lacks(block, "Content-Type:")) {
      block = TextConcat(
          block, "\r\nContent-Type: application/x-www-form-urlencoded");
    }
  }
}

void ApplyHeaderBlock(HttpRequestObject& object, const Text& block,
                      const Text& cookies, bool cookiesGiven) {
  if (cookiesGiven) object.SetRequestHeader("Cookie", cookies);
  if (Lacks(block, kLineBreak)) {
    object.SetRequestHeader(HeaderName(block), HeaderValue(block));
    return;
  }
  for (const Text& line : TextSplit(block, kLineBreak)) {
    if (TextEqual(line, Text())) continue;
    object.SetRequestHeader(HeaderName(line), HeaderValue(line));
  }
}

Text HeaderName(const Text& line) {
  const std::int32_t colon = TextFind(line, ":", 1, false);
  if (colon == -1) return Text();
  return TextTrim(TextLeft(line, colon - 1));
}

Text HeaderValue(const Text& line) {
  const std::int32_t colon = TextFind(line, ":", 1, false);
  if (colon == -1) return Text();
  return TextTrim(TextRight(line, TextLength(line) - colon));
}

}  // namespace tarnwick
