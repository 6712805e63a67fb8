#include "web/platform_http_request.h"

#include "web/curl/curl_http_request.h"

namespace tarnwick {

std::shared_ptr<HttpRequestOperations> CreatePlatformHttpRequest() {
  return CreateCurlHttpRequest();
}

}  // namespace tarnwick
