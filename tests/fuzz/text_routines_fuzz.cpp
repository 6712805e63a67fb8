// The text routines and Base64 against their literal forms.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_check.h"
#include "text/base64.h"
#include "text/bytes.h"
#include "text/literal_text_routines.h"
#include "text/text_routines.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::int32_t start = in.ConsumeIntegralInRange<std::int32_t>(-2, 40);
  const bool flag = in.ConsumeBool();
  const std::string first = Text(in.ConsumeRandomLengthString(8)).str();
  const std::string second = Text(in.ConsumeRandomLengthString(8)).str();
  const std::string raw = in.ConsumeRemainingBytesAsString();
  const std::string t = Text(raw).str();

  fuzz::Check("TextLeftOf", TextLeftOf(t, first, start, flag).str(),
              literal::LeftOf(t, first, start, flag));
  fuzz::Check("TextBetween", TextBetween(t, first, second, start, flag).str(),
              literal::Between(t, first, second, start, flag));
  fuzz::Check("JoinUnique", JoinUnique(t, first, flag).str(),
              literal::JoinUnique(t, first, flag));
  TextArray characters;
  SplitIntoCharacters(t, characters);
  std::vector<std::string> pieces;
  for (const Text& c : characters) pieces.push_back(c.str());
  fuzz::Check("SplitIntoCharacters", pieces, literal::SplitIntoCharacters(t));
  fuzz::Check<long long>("FindInArray", FindInArray(characters, first),
                         literal::FindInArray(pieces, first));
  fuzz::Check("Base64Encode", Base64Encode(Bytes::FromString(raw)).str(),
              literal::Base64(raw));
  return 0;
}
