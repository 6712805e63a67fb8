// Literal versions of the header block completion, of the header calls it
// leads to, and of the response cookie collection, over std::string and the
// literal text operations.
#ifndef TARNWICK_TESTS_WEB_LITERAL_HEADER_BLOCK_H_
#define TARNWICK_TESTS_WEB_LITERAL_HEADER_BLOCK_H_

#include <string>
#include <utility>
#include <vector>

#include "text/literal_text_routines.h"

namespace tarnwick::literal {

inline void CompleteHeaderBlock(std::string& block, const std::string& url,
                                std::int32_t method) {
  if (block.empty()) {
    block = "Accept: */*";
  } else if (Find(block, "Accept:", 1, false) == -1) {
    block += "\r\nAccept: */*";
  }
  if (Find(block, "Referer:", 1, false) == -1) block += "\r\nReferer: " + url;
  if (Find(block, "Accept-Language:", 1, false) == -1) {
    block += "\r\nAccept-Language: zh-cn";
  }
  if (Find(block, "User-Agent:", 1, false) == -1) {
    block +=
        "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
  }
  if (method == 1) {
    block = Replace(block, "content-type", "Content-Type", 1, -1, true);
    if (Find(block, "Content-Type:", 1, false) == -1) {
      block += "\r\nContent-Type: application/x-www-form-urlencoded";
    }
  }
}

inline std::string HeaderName(const std::string& line) {
  const std::int32_t p = Find(line, ":", 1, false);
  if (p == -1) return "";
  return Trim(Left(line, p - 1));
}

inline std::string HeaderValue(const std::string& line) {
  const std::int32_t p = Find(line, ":", 1, false);
  if (p == -1) return "";
  return Trim(Right(line, static_cast<std::int64_t>(line.size()) - p));
}

// The (name, value) pairs handed to SetRequestHeader, in order.
inline std::vector<std::pair<std::string, std::string>> HeaderCalls(
    const std::string& block, const std::string* cookies) {
  std::vector<std::pair<std::string, std::string>> calls;
  if (cookies != nullptr) calls.emplace_back("Cookie", *cookies);
  if (Find(block, "\r\n", 1, false) == -1) {
    calls.emplace_back(HeaderName(block), HeaderValue(block));
    return calls;
  }
  for (const std::string& line : Split(block, "\r\n", std::nullopt)) {
    if (!line.empty()) calls.emplace_back(HeaderName(line), HeaderValue(line));
  }
  return calls;
}

inline std::string CollectResponseCookies(const std::string& headers) {
  std::string cookies;
  for (const std::string& line : Split(headers, "\r\n", std::nullopt)) {
    if (LeftOf(line, ": ", 1, false) != "Set-Cookie") continue;
    std::string cookie;
    if (Find(line, ";", 1, false) != -1) {
      cookie = Trim(Between(line, "Set-Cookie:", ";", 1, false));
    } else {
      cookie = Trim(Replace(line, "Set-Cookie:", "", 1, -1, false));
    }
    cookies += cookie + "; ";
  }
  return Left(cookies, static_cast<std::int64_t>(cookies.size()) - 2);
}

}  // namespace tarnwick::literal

#endif  // TARNWICK_TESTS_WEB_LITERAL_HEADER_BLOCK_H_
