// The HTTP request object: one HTTP exchange driven by a fixed set of
// operations (timeouts, proxy, headers, open, options, send, then reads).
//
// HttpRequestObject is a counted reference, like a component-library
// interface pointer: copying it takes a new reference to the same object,
// Release() (or destruction) drops this reference only. A reference that holds
// no object accepts every operation and does nothing; its reads give the empty
// value of their kind.
//
// No operation reports failure. A failed operation is passed over; after a
// failed Send the reads give empty bytes, the empty text and status 0.
#ifndef TARNWICK_WEB_HTTP_REQUEST_OBJECT_H_
#define TARNWICK_WEB_HTTP_REQUEST_OBJECT_H_

#include <cstdint>
#include <memory>

#include "text/bytes.h"
#include "text/text.h"

namespace tarnwick {

// The ProgID of the platform's scriptable HTTP request object.
inline constexpr char kHttpRequestProgId[] = "WinHttp.WinHttpRequest.5.1";

// Option numbers written through SetOption.
inline constexpr std::int32_t kOptionSslErrorIgnoreFlags = 4;
inline constexpr std::int32_t kOptionEnableRedirects = 6;

// Certificate errors that option 4 can ignore.
inline constexpr std::int32_t kIgnoreUnknownAuthority = 0x0100;
inline constexpr std::int32_t kIgnoreWrongUsage = 0x0200;
inline constexpr std::int32_t kIgnoreInvalidCommonName = 0x1000;
inline constexpr std::int32_t kIgnoreInvalidDate = 0x2000;

// SetProxy's setting that names a proxy server.
inline constexpr std::int32_t kProxySettingProxy = 2;

// The operations every request object offers. Text arguments and results are
// code page 936.
class HttpRequestOperations {
 public:
  virtual ~HttpRequestOperations() = default;

  // Milliseconds for name resolution, connection, sending and receiving;
  // 0 means no limit.
  virtual void SetTimeouts(std::int32_t resolveMs, std::int32_t connectMs,
                           std::int32_t sendMs, std::int32_t receiveMs) = 0;
  virtual void SetProxy(std::int32_t setting, const Text& address) = 0;
  virtual void SetRequestHeader(const Text& name, const Text& value) = 0;
  // `async` is always false in Tarnwick: Send blocks until the exchange ends.
  virtual void Open(const Text& method, const Text& url, bool async) = 0;
  // Writes the indexed Option property.
  virtual void SetOption(std::int32_t option, std::int32_t value) = 0;
  virtual void Send(const Bytes& body) = 0;
  virtual void Send(const Text& body) = 0;
  virtual Bytes ResponseBody() = 0;
  // Header lines "Name: value" joined by CR LF, without the status line.
  virtual Text GetAllResponseHeaders() = 0;
  virtual std::int32_t Status() = 0;
};

class HttpRequestObject {
 public:
  // A reference that holds no object.
  HttpRequestObject() = default;
  explicit HttpRequestObject(std::shared_ptr<HttpRequestOperations> object)
      : object_(std::move(object)) {}

  bool HoldsObject() const { return object_ != nullptr; }
  // Drops this reference; the object goes when its last reference does.
  void Release() { object_.reset(); }

  void SetTimeouts(std::int32_t resolveMs, std::int32_t connectMs,
                   std::int32_t sendMs, std::int32_t receiveMs) {
    if (object_) object_->SetTimeouts(resolveMs, connectMs, sendMs, receiveMs);
  }
  void SetProxy(std::int32_t setting, const Text& address) {
    if (object_) object_->SetProxy(setting, address);
  }
  void SetRequestHeader(const Text& name, const Text& value) {
    if (object_) object_->SetRequestHeader(name, value);
  }
  void Open(const Text& method, const Text& url, bool async) {
    if (object_) object_->Open(method, url, async);
  }
  void SetOption(std::int32_t option, std::int32_t value) {
    if (object_) object_->SetOption(option, value);
  }
  void Send(const Bytes& body) {
    if (object_) object_->Send(body);
  }
  void Send(const Text& body) {
    if (object_) object_->Send(body);
  }
  Bytes ResponseBody() { return object_ ? object_->ResponseBody() : Bytes(); }
  Text GetAllResponseHeaders() {
    return object_ ? object_->GetAllResponseHeaders() : Text();
  }
  std::int32_t Status() { return object_ ? object_->Status() : 0; }

 private:
  std::shared_ptr<HttpRequestOperations> object_;
};

// Creates a new request object for `progId`. Returns a reference that holds
// no object when the ProgID is not served or the object cannot be made.
HttpRequestObject CreateHttpRequestObject(const Text& progId);

// The creator CreateHttpRequestObject uses. Tests install their own (a
// recording fake, or one that fails); the default serves kHttpRequestProgId
// with the platform's backend. Returns the creator that was installed before.
using HttpRequestCreator = HttpRequestObject (*)(const Text& progId);
HttpRequestCreator SetHttpRequestCreator(HttpRequestCreator creator);

}  // namespace tarnwick

#endif  // TARNWICK_WEB_HTTP_REQUEST_OBJECT_H_
