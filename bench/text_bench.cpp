// Text operations on 64 MB against memchr / memcpy over the same bytes, and
// their growth from 4 MB to 64 MB.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "text/text.h"
#include "text/text_search.h"

namespace tarnwick {
namespace {

// Mixed text: ASCII words, code page 936 characters, blanks of both kinds and
// "; " separators, with no "~" anywhere (the rare target).
std::string MakeText(std::size_t size) {
  static const char kPattern[] =
      "name=value; \xD6\xD0\xCE\xC4 text \xA1\xA1more words here, "
      "\xC7\xA7\xCD\xBC\xCD\xF8 17sucai; ";
  std::string s;
  s.reserve(size + sizeof kPattern);
  while (s.size() < size) s.append(kPattern);
  s.resize(size);
  return s;
}

const Text& TextOfSize(std::size_t size) {
  static std::size_t cachedSize = 0;
  static Text cached;
  if (cachedSize != size) {
    cached = Text(MakeText(size));
    cachedSize = size;
  }
  return cached;
}

void SetBytes(benchmark::State& state, std::size_t size) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(size));
}

void BM_Memchr(benchmark::State& state) {
  const Text& t = TextOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::memchr(t.c_str(), '~', t.size()));
  }
  SetBytes(state, t.size());
}

void BM_Memcpy(benchmark::State& state) {
  const Text& t = TextOfSize(static_cast<std::size_t>(state.range(0)));
  std::string out(t.size(), '\0');
  for (auto _ : state) {
    std::memcpy(out.data(), t.c_str(), t.size());
    benchmark::ClobberMemory();
  }
  SetBytes(state, t.size());
}

void BM_TextFindRare(benchmark::State& state) {
  const Text& t = TextOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TextFind(t, "~"));
  SetBytes(state, t.size());
}

void BM_TextReplace(benchmark::State& state) {
  const Text& t = TextOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TextReplace(t, "; ", ";"));
  SetBytes(state, t.size());
}

void BM_TextSplit(benchmark::State& state) {
  const Text& t = TextOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TextSplit(t, "; "));
  SetBytes(state, t.size());
}

void BM_TextTrim(benchmark::State& state) {
  const Text& t = TextOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TextTrim(t));
  SetBytes(state, t.size());
}

void BM_TextRemoveBlanks(benchmark::State& state) {
  const Text& t = TextOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TextRemoveBlanks(t));
  SetBytes(state, t.size());
}

constexpr std::int64_t k4Mb = 4 << 20;
constexpr std::int64_t k64Mb = 64 << 20;

BENCHMARK(BM_Memchr)->Arg(k64Mb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Arg(k64Mb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFindRare)->Arg(k4Mb)->Arg(k64Mb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextReplace)->Arg(k4Mb)->Arg(k64Mb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextSplit)->Arg(k4Mb)->Arg(k64Mb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextTrim)->Arg(k4Mb)->Arg(k64Mb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextRemoveBlanks)->Arg(k4Mb)->Arg(k64Mb)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
