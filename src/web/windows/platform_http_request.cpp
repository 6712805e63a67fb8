#include "web/platform_http_request.h"

#include "web/windows/winhttp_request.h"

namespace tarnwick {

std::shared_ptr<HttpRequestOperations> CreatePlatformHttpRequest() {
  return CreateWinHttpRequest();
}

}  // namespace tarnwick
