// The HTTP request object of the platform: the scriptable WinHTTP request
// object ("WinHttp.WinHttpRequest.5.1"), created through the component
// library and driven by member name through its automation interface.
//
// Each operation is one call of the member of the same name (SetOption writes
// the indexed property Option). Texts go to the object as wide strings from
// code page 936 and come back converted to it; a byte body goes as an array
// of VT_UI1, a text body as a string. A call the object refuses is passed
// over. Besides, the object is made to behave the same under every version of
// the platform:
//
// - headers given while no request is open (which the object refuses) are
//   kept and set right after the next Open, in the order given, or dropped
//   when that Open fails;
// - the last timeouts and proxy given are set again after every Open, which
//   some versions reset;
// - after a Send that failed, or before any Send, the reads give empty bytes,
//   the empty text and 0 without asking the object;
// - GetAllResponseHeaders gives ResponseHeaderText of what the object gives.
//
// The calling thread must have the component library initialised for as long
// as the object lives.
#ifndef TARNWICK_WEB_WINDOWS_WINHTTP_REQUEST_H_
#define TARNWICK_WEB_WINDOWS_WINHTTP_REQUEST_H_

#include <memory>

#include "web/http_request_object.h"

namespace tarnwick {

// A new request object; null when the ProgID is not registered or the object
// cannot be created (among other reasons, when the calling thread has not
// initialised the component library).
std::shared_ptr<HttpRequestOperations> CreateWinHttpRequest();

}  // namespace tarnwick

#endif  // TARNWICK_WEB_WINDOWS_WINHTTP_REQUEST_H_
