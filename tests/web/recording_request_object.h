// A request object for tests: records every operation as one line of text and
// answers the reads with scripted values. Installing it as the creator makes
// WebRequest (and everything above it) run against it.
#ifndef TARNWICK_TESTS_WEB_RECORDING_REQUEST_OBJECT_H_
#define TARNWICK_TESTS_WEB_RECORDING_REQUEST_OBJECT_H_

#include <memory>
#include <string>
#include <vector>

#include "text/bytes.h"
#include "text/text.h"
#include "web/http_request_object.h"

namespace tarnwick::testing {

class RecordingRequestObject : public HttpRequestOperations {
 public:
  // What the reads answer after Send.
  Bytes responseBody;
  Text responseHeaders;
  std::int32_t status = 0;
  // Every operation, e.g. "SetTimeouts 15000 15000 15000 15000",
  // "SetRequestHeader Accept: */*", "Send text url=x", "Send bytes 3".
  std::vector<std::string> calls;

  void SetTimeouts(std::int32_t resolveMs, std::int32_t connectMs,
                   std::int32_t sendMs, std::int32_t receiveMs) override {
    calls.push_back("SetTimeouts " + std::to_string(resolveMs) + " " +
                    std::to_string(connectMs) + " " + std::to_string(sendMs) +
                    " " + std::to_string(receiveMs));
  }
  void SetProxy(std::int32_t setting, const Text& address) override {
    calls.push_back("SetProxy " + std::to_string(setting) + " " + address.str());
  }
  void SetRequestHeader(const Text& name, const Text& value) override {
    calls.push_back("SetRequestHeader " + name.str() + ": " + value.str());
  }
  void Open(const Text& method, const Text& url, bool async) override {
    calls.push_back("Open " + method.str() + " " + url.str() +
                    (async ? " true" : " false"));
  }
  void SetOption(std::int32_t option, std::int32_t value) override {
    calls.push_back("Option " + std::to_string(option) + " " +
                    std::to_string(value));
  }
  void Send(const Bytes& body) override {
    calls.push_back("Send bytes " + std::string(body.view()));
  }
  void Send(const Text& body) override {
    calls.push_back("Send text " + body.str());
  }
  Bytes ResponseBody() override {
    calls.push_back("ResponseBody");
    return responseBody;
  }
  Text GetAllResponseHeaders() override {
    calls.push_back("GetAllResponseHeaders");
    return responseHeaders;
  }
  std::int32_t Status() override {
    calls.push_back("Status");
    return status;
  }
};

// Installs a creator that hands out `current` (or no object when it is null)
// and restores the previous creator when it goes out of scope.
class ScopedRecordingCreator {
 public:
  ScopedRecordingCreator() : previous_(SetHttpRequestCreator(&Create)) {
    progIds.clear();
  }
  ~ScopedRecordingCreator() {
    SetHttpRequestCreator(previous_);
    current.reset();
  }
  ScopedRecordingCreator(const ScopedRecordingCreator&) = delete;
  ScopedRecordingCreator& operator=(const ScopedRecordingCreator&) = delete;

  // The object the next creations hand out; null makes creation fail.
  static inline std::shared_ptr<RecordingRequestObject> current;
  // Every ProgID asked for.
  static inline std::vector<std::string> progIds;

 private:
  static HttpRequestObject Create(const Text& progId) {
    progIds.push_back(progId.str());
    return HttpRequestObject(current);
  }

  HttpRequestCreator previous_;
};

}  // namespace tarnwick::testing

#endif  // TARNWICK_TESTS_WEB_RECORDING_REQUEST_OBJECT_H_
