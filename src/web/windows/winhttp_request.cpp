#include "web/windows/winhttp_request.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "web/windows/automation.h"
#include "web/windows/response_header_text.h"

#include <objbase.h>

namespace tarnwick {
namespace {

class WinHttpRequest final : public HttpRequestOperations {
 public:
  explicit WinHttpRequest(IDispatch* object) : object_(object) {}

  void SetTimeouts(std::int32_t resolveMs, std::int32_t connectMs,
                   std::int32_t sendMs, std::int32_t receiveMs) override {
    timeouts_ = {resolveMs, connectMs, sendMs, receiveMs};
    ApplyTimeouts();
  }

  void SetProxy(std::int32_t setting, const Text& address) override {
    proxy_ = {setting, address};
    ApplyProxy();
  }

  void SetRequestHeader(const Text& name, const Text& value) override {
    if (!opened_) {
      pendingHeaders_.emplace_back(name, value);
      return;
    }
    ApplyHeader(name, value);
  }

  void Open(const Text& method, const Text& url, bool async) override {
    responded_ = false;
    AutomationValue arguments[] = {AutomationValue::String(method),
                                   AutomationValue::String(url),
                                   AutomationValue::Bool(async)};
    opened_ = SUCCEEDED(object_.Call(L"Open", arguments));
    std::vector<std::pair<Text, Text>> headers = std::move(pendingHeaders_);
    pendingHeaders_.clear();
    if (!opened_) return;
    ApplyTimeouts();
    ApplyProxy();
    for (const auto& [name, value] : headers) ApplyHeader(name, value);
  }

  void SetOption(std::int32_t option, std::int32_t value) override {
    AutomationValue arguments[] = {AutomationValue::Int32(option),
                                   AutomationValue::Int32(value)};
    object_.Put(L"Option", arguments);
  }

  void Send(const Bytes& body) override {
    AutomationValue value = AutomationValue::ByteArray(body);
    Send(value);
  }

  void Send(const Text& body) override {
    AutomationValue value = AutomationValue::String(body);
    Send(value);
  }

  Bytes ResponseBody() override {
    if (!responded_) return Bytes();
    AutomationValue body;
    if (FAILED(object_.Get(L"ResponseBody", body))) return Bytes();
    return body.AsBytes();
  }

  Text GetAllResponseHeaders() override {
    if (!responded_) return Text();
    AutomationValue headers;
    if (FAILED(object_.Call(L"GetAllResponseHeaders", {}, &headers))) {
      return Text();
    }
    return ResponseHeaderText(headers.AsText());
  }

  std::int32_t Status() override {
    if (!responded_) return 0;
    AutomationValue status;
    if (FAILED(object_.Get(L"Status", status))) return 0;
    return status.AsInt32();
  }

 private:
  // Sends `body`, which must hold a value: a body that could not be made
  // (memory ran out) fails the exchange rather than sending nothing.
  void Send(AutomationValue& body) {
    opened_ = false;
    responded_ = false;
    if (!body.HoldsValue()) return;
    responded_ = SUCCEEDED(object_.Call(L"Send", {&body, 1}));
  }

  void ApplyTimeouts() {
    if (!timeouts_) return;
    AutomationValue arguments[] = {AutomationValue::Int32((*timeouts_)[0]),
                                   AutomationValue::Int32((*timeouts_)[1]),
                                   AutomationValue::Int32((*timeouts_)[2]),
                                   AutomationValue::Int32((*timeouts_)[3])};
    object_.Call(L"SetTimeouts", arguments);
  }

  void ApplyProxy() {
    if (!proxy_) return;
    AutomationValue arguments[] = {AutomationValue::Int32(proxy_->first),
                                   AutomationValue::String(proxy_->second)};
    object_.Call(L"SetProxy", arguments);
  }

  void ApplyHeader(const Text& name, const Text& value) {
    AutomationValue arguments[] = {AutomationValue::String(name),
                                   AutomationValue::String(value)};
    object_.Call(L"SetRequestHeader", arguments);
  }

  AutomationObject object_;
  std::optional<std::array<std::int32_t, 4>> timeouts_;
  std::optional<std::pair<std::int32_t, Text>> proxy_;
  // Headers given while no request was open, for the next Open.
  std::vector<std::pair<Text, Text>> pendingHeaders_;
  // An Open succeeded and no Send has followed it.
  bool opened_ = false;
  // The last Send succeeded: the reads ask the object.
  bool responded_ = false;
};

}  // namespace

std::shared_ptr<HttpRequestOperations> CreateWinHttpRequest() {
  AutomationValue progId = AutomationValue::String(kHttpRequestProgId);
  CLSID classId;
  if (!progId.HoldsValue() ||
      FAILED(CLSIDFromProgID(V_BSTR(&progId.variant()), &classId))) {
    return nullptr;
  }
  IDispatch* object = nullptr;
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&object)))) {
    return nullptr;
  }
  return std::make_shared<WinHttpRequest>(object);
}

}  // namespace tarnwick
