#include "web/curl/curl_library.h"

#include <dlfcn.h>

namespace tarnwick {
namespace {

// Points `function` at the symbol `name` of `library`; false when it has none.
template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

bool ResolveAll(void* library, CurlLibrary& curl) {
  return Resolve(library, "curl_global_init", curl.globalInit) &&
         Resolve(library, "curl_global_cleanup", curl.globalCleanup) &&
         Resolve(library, "curl_free", curl.free) &&
         Resolve(library, "curl_url", curl.url) &&
         Resolve(library, "curl_url_set", curl.urlSet) &&
         Resolve(library, "curl_url_get", curl.urlGet) &&
         Resolve(library, "curl_url_cleanup", curl.urlCleanup) &&
         Resolve(library, "curl_slist_append", curl.slistAppend) &&
         Resolve(library, "curl_slist_free_all", curl.slistFreeAll) &&
         Resolve(library, "curl_easy_init", curl.easyInit) &&
         Resolve(library, "curl_easy_reset", curl.easyReset) &&
         Resolve(library, "curl_easy_setopt", curl.easySetopt) &&
         Resolve(library, "curl_easy_getinfo", curl.easyGetinfo) &&
         Resolve(library, "curl_easy_cleanup", curl.easyCleanup) &&
         Resolve(library, "curl_multi_init", curl.multiInit) &&
         Resolve(library, "curl_multi_add_handle", curl.multiAddHandle) &&
         Resolve(library, "curl_multi_remove_handle", curl.multiRemoveHandle) &&
         Resolve(library, "curl_multi_perform", curl.multiPerform) &&
         Resolve(library, "curl_multi_poll", curl.multiPoll) &&
         Resolve(library, "curl_multi_info_read", curl.multiInfoRead) &&
         Resolve(library, "curl_multi_cleanup", curl.multiCleanup);
}

// The system's libcurl, set up for the life of the process.
class SystemCurl {
 public:
  SystemCurl() : curl_(OpenCurlLibrary(kCurlLibraryFileName)) {
    // A failed set-up is made again by the first curl_easy_init.
    if (curl_) curl_->globalInit(CURL_GLOBAL_DEFAULT);
  }
  ~SystemCurl() {
    if (curl_) curl_->globalCleanup();
  }
  SystemCurl(const SystemCurl&) = delete;
  SystemCurl& operator=(const SystemCurl&) = delete;

  const CurlLibrary* Get() const { return curl_ ? &*curl_ : nullptr; }

 private:
  std::optional<CurlLibrary> curl_;
};

}  // namespace

std::optional<CurlLibrary> OpenCurlLibrary(const char* fileName) {
  void* const library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::nullopt;
  CurlLibrary curl;
  if (!ResolveAll(library, curl)) {
    dlclose(library);
    return std::nullopt;
  }
  return curl;
}

const CurlLibrary* SystemCurlLibrary() {
  static const SystemCurl curl;
  return curl.Get();
}

}  // namespace tarnwick
