// MergeCookies and CollectResponseCookies against their literal forms.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_check.h"
#include "web/cookie_merge.h"
#include "web/literal_cookie_merge.h"
#include "web/literal_header_block.h"
#include "web/web_request.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const Text old(in.ConsumeRandomLengthString(256));
  const Text fresh(in.ConsumeRemainingBytesAsString());

  Text productionOld = old;
  Text literalOld = old;
  fuzz::Check("MergeCookies", MergeCookies(productionOld, fresh).str(),
              literal::MergeCookies(literalOld, fresh).str());
  fuzz::Check("MergeCookies old", productionOld.str(), literalOld.str());

  Text collected;
  CollectResponseCookies(fresh, collected);
  fuzz::Check("CollectResponseCookies", collected.str(),
              literal::CollectResponseCookies(fresh.str()));
  return 0;
}
