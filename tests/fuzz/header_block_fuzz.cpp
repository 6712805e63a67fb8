// CompleteHeaderBlock and the SetRequestHeader calls ApplyHeaderBlock makes,
// against their literal forms.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

#include "fuzz/fuzz_check.h"
#include "web/header_block.h"
#include "web/literal_header_block.h"
#include "web/recording_request_object.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::int32_t method = in.ConsumeIntegralInRange<std::int32_t>(0, 7);
  const bool cookiesGiven = in.ConsumeBool();
  const std::string cookies = Text(in.ConsumeRandomLengthString(32)).str();
  const std::string url = Text(in.ConsumeRandomLengthString(64)).str();
  const std::string original = Text(in.ConsumeRemainingBytesAsString()).str();

  Text block(original);
  CompleteHeaderBlock(block, url, method);
  std::string literalBlock = original;
  literal::CompleteHeaderBlock(literalBlock, url, method);
  fuzz::Check("CompleteHeaderBlock", block.str(), literalBlock);

  auto recorder = std::make_shared<testing::RecordingRequestObject>();
  HttpRequestObject object(recorder);
  ApplyHeaderBlock(object, block, cookies, cookiesGiven);
  std::vector<std::string> expected;
  for (const auto& [name, value] :
       literal::HeaderCalls(literalBlock, cookiesGiven ? &cookies : nullptr)) {
    expected.push_back("SetRequestHeader " + name + ": " + value);
  }
  fuzz::Check("ApplyHeaderBlock", recorder->calls, expected);
  return 0;
}
