#include "web/http_request_object.h"

#include <atomic>

#include "web/platform_http_request.h"

namespace tarnwick {
namespace {

HttpRequestObject CreateDefaultHttpRequestObject(const Text& progId) {
  if (progId.view() != kHttpRequestProgId) return HttpRequestObject();
  return HttpRequestObject(CreatePlatformHttpRequest());
}

std::atomic<HttpRequestCreator> currentCreator{&CreateDefaultHttpRequestObject};

}  // namespace

HttpRequestObject CreateHttpRequestObject(const Text& progId) {
  return currentCreator.load()(progId);
}

HttpRequestCreator SetHttpRequestCreator(HttpRequestCreator creator) {
  return currentCreator.exchange(
      creator != nullptr ? creator : &CreateDefaultHttpRequestObject);
}

}  // namespace tarnwick
