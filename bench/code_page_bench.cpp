// Utf8ToCp936 on 27 MB of mixed Chinese and ASCII text, against iconv(3)
// converting UTF-8 to CP936 over the same bytes in the same run.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "text/code_page.h"
#include "text/text.h"

namespace tarnwick {
namespace {

constexpr std::size_t kSize = 27u << 20;

// Lines of UTF-8 text: Chinese, ASCII words and a URL, as a resolving
// service's replies mix them.
const Text& Utf8Text() {
  static const Text text = [] {
    static const char kLine[] =
        "\xE5\x8D\x83\xE5\x9B\xBE\xE7\xBD\x91\xEF\xBC\x9A"
        "https://www.58pic.com/newpic/35186413.html "
        "\xE4\xB8\x8B\xE8\xBD\xBD\xE5\x9C\xB0\xE5\x9D\x80 download link, "
        "\xE7\xB4\xA0\xE6\x9D\x90 material \xE2\x82\xAC 12.5\r\n";
    std::string s;
    s.reserve(kSize + sizeof kLine);
    while (s.size() < kSize) s.append(kLine);
    return Text(std::move(s));
  }();
  return text;
}

void BM_Utf8ToCp936(benchmark::State& state) {
  const Text& input = Utf8Text();
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToCp936(input));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(input.size()));
}

void BM_Iconv(benchmark::State& state) {
  const Text& input = Utf8Text();
  iconv_t cd = iconv_open("CP936", "UTF-8");
  std::string out(input.size() * 2, '\0');
  for (auto _ : state) {
    char* in = const_cast<char*>(input.c_str());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    benchmark::DoNotOptimize(outPtr);
    if (inLeft != 0) {
      state.SkipWithError("iconv stopped before the end of the text");
      break;
    }
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(input.size()));
}

BENCHMARK(BM_Utf8ToCp936)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
