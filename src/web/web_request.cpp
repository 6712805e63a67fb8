#include "web/web_request.h"

#include <algorithm>
#include <string>

#include "platform/component_library.h"
#include "text/base64.h"
#include "text/numeric.h"
#include "text/text_routines.h"
#include "text/text_search.h"
#include "web/cookie_merge.h"
#include "web/header_block.h"

namespace tarnwick {

namespace {

constexpr const char* kMethodNames[] = {"GET",     "POST",   "HEAD",
                                        "PUT",     "OPTIONS", "DELETE",
                                        "TRACE",   "CONNECT"};
constexpr std::int32_t kDefaultTimeoutMs = 15000;
constexpr std::int32_t kKeepObjectTimeouts = -1;
constexpr std::int32_t kProxyAuthBasic = 1;
constexpr std::int32_t kIgnoreAllCertificateErrors =
    kIgnoreUnknownAuthority | kIgnoreWrongUsage | kIgnoreInvalidCommonName |
    kIgnoreInvalidDate;

// Seconds per phase in milliseconds; seconds too large for 32 bits saturate.
std::int32_t TimeoutMs(std::int32_t timeoutSeconds) {
  if (timeoutSeconds < 1) return kDefaultTimeoutMs;
  return TruncateToInteger(static_cast<double>(timeoutSeconds) * 1000);
}

void ApplyProxy(HttpRequestObject& object, const WebRequestOptions& options) {
  if (TextEqual(options.proxyAddress, Text())) return;
  object.SetProxy(kProxySettingProxy, options.proxyAddress);
  if (TextEqual(options.proxyUser, Text())) return;
  if (options.proxyAuthKind.value_or(kProxyAuthBasic) != kProxyAuthBasic) return;
  const Text credential =
      TextConcat(options.proxyUser, ":", options.proxyPassword);
  object.SetRequestHeader(
      "Proxy-Authorization",
      TextConcat("Basic ", Base64Encode(TextToBytes(credential))));
}

}  // namespace

Bytes WebRequest(const Text& url, const WebRequestOptions& options) {
  const bool autoMergeCookies = options.autoMergeCookies.value_or(true);
  platform::CoInitialize();
  const std::int32_t method =
      (options.method < kMethodGet || options.method > kMethodConnect)
          ? kMethodGet
          : options.method;

  HttpRequestObject object = options.requestObject
                                 ? *options.requestObject
                                 : CreateHttpRequestObject(kHttpRequestProgId);
  if (!options.requestObject && !object.HoldsObject()) {
    platform::CoUninitialize();
    return Bytes();
  }

  if (options.timeoutSeconds != kKeepObjectTimeouts) {
    const std::int32_t ms = TimeoutMs(options.timeoutSeconds);
    object.SetTimeouts(ms, ms, ms, ms);
  }
  ApplyProxy(object, options);
  object.Open(kMethodNames[method], url, false);
  if (options.noRedirect) object.SetOption(kOptionEnableRedirects, 0);
  object.SetOption(kOptionSslErrorIgnoreFlags, kIgnoreAllCertificateErrors);

  Text localHeaders;
  Text& extraHeaders = options.extraHeaders ? *options.extraHeaders : localHeaders;
  CompleteHeaderBlock(extraHeaders, url, method);
  const bool cookiesGiven = options.cookies != nullptr;
  ApplyHeaderBlock(object, extraHeaders,
                   cookiesGiven ? *options.cookies : Text(), cookiesGiven);

  if (!options.postBytes.empty()) {
    object.Send(options.postBytes);
  } else {
    object.Send(options.postText);
  }

  Bytes body = object.ResponseBody();
  Text headers = object.GetAllResponseHeaders();
  const std::int32_t status = object.Status();

  Text cookies;
  CollectResponseCookies(headers, cookies);
  if (autoMergeCookies && cookiesGiven) {
    cookies = MergeCookies(*options.cookies, cookies);
  }
  if (options.returnedHeaders) *options.returnedHeaders = std::move(headers);
  if (options.statusCode) *options.statusCode = status;
  if (options.returnedCookies) *options.returnedCookies = std::move(cookies);

  object.Release();
  platform::CoUninitialize();
  return body;
}

void CollectResponseCookies(const Text& headers, Text& returnedCookies) {
  std::string collected;
  for (const Text& line : TextSplit(headers, "\r\n")) {
    if (!TextEqual(TextLeftOf(line, ": "), "Set-Cookie")) continue;
    const Text cookie =
        TextFind(line, ";", 1, false) != -1
            ? TextTrim(TextBetween(line, "Set-Cookie:", ";"))
            : TextTrim(TextReplace(line, "Set-Cookie:", Text(), 1, -1, false));
    collected.append(cookie.view());
    collected.append("; ");
  }
  collected.resize(collected.size() - std::min<std::size_t>(collected.size(), 2));
  returnedCookies = Text(std::move(collected));
}

}  // namespace tarnwick
