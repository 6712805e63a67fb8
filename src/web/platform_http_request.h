// The request object backend of the platform Tarnwick is built for: the
// scriptable WinHTTP request object on Windows, libcurl elsewhere.
#ifndef TARNWICK_WEB_PLATFORM_HTTP_REQUEST_H_
#define TARNWICK_WEB_PLATFORM_HTTP_REQUEST_H_

#include <memory>

#include "web/http_request_object.h"

namespace tarnwick {

// A new request object of the backend; null when it cannot be made.
std::shared_ptr<HttpRequestOperations> CreatePlatformHttpRequest();

}  // namespace tarnwick

#endif  // TARNWICK_WEB_PLATFORM_HTTP_REQUEST_H_
