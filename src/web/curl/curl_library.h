// libcurl, loaded when the first request object is made rather than when the
// program starts: a program that makes no request never maps libcurl nor the
// TLS, Kerberos, LDAP and other libraries that it pulls in.
//
// The backend compiles against curl.h for its types and constants, and calls
// every libcurl function through a CurlLibrary: the functions of one loaded
// copy of the shared library.
#ifndef TARNWICK_WEB_CURL_CURL_LIBRARY_H_
#define TARNWICK_WEB_CURL_CURL_LIBRARY_H_

#include <curl/curl.h>

#include <optional>

namespace tarnwick {

// The libcurl functions the backend calls, each named after its C function
// (curl_easy_setopt: easySetopt). None is null in a CurlLibrary that
// OpenCurlLibrary returned.
struct CurlLibrary {
  decltype(&curl_global_init) globalInit = nullptr;
  decltype(&curl_global_cleanup) globalCleanup = nullptr;
  decltype(&curl_free) free = nullptr;

  decltype(&curl_url) url = nullptr;
  decltype(&curl_url_set) urlSet = nullptr;
  decltype(&curl_url_get) urlGet = nullptr;
  decltype(&curl_url_cleanup) urlCleanup = nullptr;

  decltype(&curl_slist_append) slistAppend = nullptr;
  decltype(&curl_slist_free_all) slistFreeAll = nullptr;

  decltype(&curl_easy_init) easyInit = nullptr;
  decltype(&curl_easy_reset) easyReset = nullptr;
  decltype(&curl_easy_setopt) easySetopt = nullptr;
  decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
  decltype(&curl_easy_cleanup) easyCleanup = nullptr;

  decltype(&curl_multi_init) multiInit = nullptr;
  decltype(&curl_multi_add_handle) multiAddHandle = nullptr;
  decltype(&curl_multi_remove_handle) multiRemoveHandle = nullptr;
  decltype(&curl_multi_perform) multiPerform = nullptr;
  decltype(&curl_multi_poll) multiPoll = nullptr;
  decltype(&curl_multi_info_read) multiInfoRead = nullptr;
  decltype(&curl_multi_cleanup) multiCleanup = nullptr;
};

// The shared library the backend loads: libcurl's ABI 4.
inline constexpr char kCurlLibraryFileName[] = "libcurl.so.4";

// Loads the shared library `fileName` (a name that the dynamic loader looks
// up, or a path) and resolves every function of CurlLibrary from it. Returns
// nothing when the library cannot be loaded or lacks one of the functions;
// a library that was loaded for this call is then released again. A library
// that yields a CurlLibrary stays loaded for the rest of the process. Does
// not make libcurl's global set-up.
std::optional<CurlLibrary> OpenCurlLibrary(const char* fileName);

// The functions of kCurlLibraryFileName, loaded and set up
// (curl_global_init) by the first call, from whichever thread gets there
// first; libcurl's global clean-up runs at exit. Null, at the first call and
// every later one, when the library cannot be loaded or set up.
const CurlLibrary* SystemCurlLibrary();

}  // namespace tarnwick

#endif  // TARNWICK_WEB_CURL_CURL_LIBRARY_H_
