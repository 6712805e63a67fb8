// Utf8ToCp936 on 27 MB of mixed Chinese and ASCII text, in the same run
// against the iconv command converting the same text from a file
// (`iconv -f UTF-8 -t CP936 file > /dev/null`, the comparison the goal names,
// timed from spawn to exit), and against iconv(3) converting it in this
// process into a buffer allocated once (a stricter figure: no process, no
// file, no result allocated per call).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <iconv.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// The text in a temporary file, written once; removed at exit.
const std::string& Utf8File() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir != nullptr ? dir : "/tmp") +
                       "/tarnwick_code_page_bench_XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) return std::string();
    const Text& text = Utf8Text();
    const bool written =
        write(fd, text.c_str(), text.size()) ==
        static_cast<ssize_t>(text.size());
    close(fd);
    if (!written) {
      unlink(name.c_str());
      return std::string();
    }
    static std::string removed;
    removed = name;
    std::atexit([] { unlink(removed.c_str()); });
    return name;
  }();
  return path;
}

void BM_IconvCommand(benchmark::State& state) {
  const std::string& file = Utf8File();
  if (file.empty()) {
    state.SkipWithError("cannot write the text to a temporary file");
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null",
                                   O_WRONLY, 0);
  std::string arguments[] = {"iconv", "-f", "UTF-8", "-t", "CP936", file};
  char* argv[] = {arguments[0].data(), arguments[1].data(),
                  arguments[2].data(), arguments[3].data(),
                  arguments[4].data(), arguments[5].data(), nullptr};
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, "iconv", &actions, nullptr, argv, environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
      state.SkipWithError("iconv failed");
      break;
    }
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count());
  }
  posix_spawn_file_actions_destroy(&actions);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(Utf8Text().size()));
}

BENCHMARK(BM_Utf8ToCp936)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvCommand)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Iconv)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
