// The stepping operations and the cutting operations against their literal
// forms.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_check.h"
#include "text/literal_text_routines.h"
#include "text/text_search.h"

using namespace tarnwick;

namespace {

std::vector<std::string> Strings(const TextArray& pieces) {
  std::vector<std::string> out;
  for (const Text& piece : pieces) out.push_back(piece.str());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::int32_t start = in.ConsumeIntegral<std::int32_t>();
  const std::int32_t count = in.ConsumeIntegral<std::int32_t>();
  const bool flag = in.ConsumeBool();
  const bool limited = in.ConsumeBool();
  const std::string target = Text(in.ConsumeRandomLengthString(8)).str();
  const std::string replacement = Text(in.ConsumeRandomLengthString(8)).str();
  const std::string t = Text(in.ConsumeRemainingBytesAsString()).str();

  fuzz::Check<long long>("TextFind", TextFind(t, target, start, flag),
                         literal::Find(t, target, start, flag));
  fuzz::Check("TextReplace",
              TextReplace(t, target, replacement, start, count, flag).str(),
              literal::Replace(t, target, replacement, start, count, flag));
  const std::optional<std::int32_t> maxCount =
      limited ? std::optional<std::int32_t>(count % 64) : std::nullopt;
  fuzz::Check("TextSplit", Strings(TextSplit(t, target, maxCount)),
              literal::Split(t, target, maxCount));
  fuzz::Check("TextTrim", TextTrim(t).str(), literal::Trim(t));
  fuzz::Check("TextRemoveBlanks", TextRemoveBlanks(t).str(),
              literal::RemoveBlanks(t));
  fuzz::Check("TextMid", TextMid(t, start, count).str(),
              literal::Mid(t, start, count));
  fuzz::Check("TextLeft", TextLeft(t, count).str(), literal::Left(t, count));
  fuzz::Check("TextRight", TextRight(t, count).str(), literal::Right(t, count));
  return 0;
}
