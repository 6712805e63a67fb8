// The proxy variables of the environment, for tests whose requests must go
// straight to their loopback servers (Linux: libcurl reads them).
#ifndef TARNWICK_TESTS_WEB_PROXY_VARIABLES_H_
#define TARNWICK_TESTS_WEB_PROXY_VARIABLES_H_

#include <stdlib.h>

namespace tarnwick {

// Removes every proxy variable, in both cases, from this process's
// environment.
inline void UnsetProxyVariables() {
  for (const char* name :
       {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
        "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
    unsetenv(name);
  }
}

}  // namespace tarnwick

#endif  // TARNWICK_TESTS_WEB_PROXY_VARIABLES_H_
