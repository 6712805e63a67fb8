#include "web/curl/curl_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace tarnwick {
namespace {

bool CurlIsLoaded() {
  void* const library = dlopen(kCurlLibraryFileName, RTLD_NOW | RTLD_NOLOAD);
  if (library == nullptr) return false;
  dlclose(library);
  return true;
}

TEST(CurlLibraryTest, OpensOnlyALibraryWithEveryFunction) {
  struct Case {
    const char* fileName;
    bool opens;
  };
  for (const Case& c : {
           Case{kCurlLibraryFileName, true},
           Case{"libtarnwick-absent.so.4", false},
           // Loads, but has none of libcurl's functions.
           Case{"libc.so.6", false},
       }) {
    SCOPED_TRACE(c.fileName);
    EXPECT_EQ(OpenCurlLibrary(c.fileName).has_value(), c.opens);
  }
}

// In a process of its own: libcurl is not there before the first call.
TEST(CurlLibraryDeathTest, SystemLibraryIsLoadedByTheFirstCallOnly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        if (CurlIsLoaded()) std::exit(1);
        const CurlLibrary* const first = SystemCurlLibrary();
        if (first == nullptr || !CurlIsLoaded()) std::exit(2);
        std::exit(SystemCurlLibrary() == first ? 0 : 3);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tarnwick
