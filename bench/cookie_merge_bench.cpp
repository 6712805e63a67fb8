// MergeCookies at 1k, 10k and 100k items each side, against its literal
// quadratic form at 1k and 10k.
#include <benchmark/benchmark.h>

#include <string>

#include "web/cookie_merge.h"
#include "web/literal_cookie_merge.h"

namespace tarnwick {
namespace {

// Half the new names repeat old ones, so both the lookup and the repeat
// removal have work to do.
Text CookieText(std::int64_t items, std::int64_t firstName) {
  std::string s;
  for (std::int64_t i = 0; i < items; ++i) {
    s.append("n").append(std::to_string(firstName + i));
    s.append("=v").append(std::to_string(i)).append("; ");
  }
  return Text(s);
}

template <Text (*Merge)(Text&, const Text&)>
void BM_Merge(benchmark::State& state) {
  const Text old = CookieText(state.range(0), 0);
  const Text fresh = CookieText(state.range(0), state.range(0) / 2);
  for (auto _ : state) {
    Text copy = old;
    benchmark::DoNotOptimize(Merge(copy, fresh));
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_Merge<MergeCookies>)
    ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge<literal::MergeCookies>)
    ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
