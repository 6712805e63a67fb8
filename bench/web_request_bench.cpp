// WebRequest's POST on loopback against a bare libcurl easy handle making the
// same POST (the same request bytes on the wire, a new handle per call, as
// WebRequest makes a new request object per call, and no signal handling, as
// WebRequest's handles), against the same small server.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "web/web_request.h"

namespace tarnwick {
namespace {

// Answers every request on 127.0.0.1 with a short 200 reply and closes the
// connection, until the process ends.
class LoopbackServer {
 public:
  LoopbackServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 64);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    std::thread([this] { Serve(); }).detach();
  }

  std::string Url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/58pic/58pic.php";
  }

 private:
  void Serve() {
    for (;;) {
      const int client = accept(listener_, nullptr, nullptr);
      if (client < 0) continue;
      std::string request;
      char buffer[4096];
      std::size_t need = std::string::npos;
      while (need == std::string::npos || request.size() < need) {
        const ssize_t got = read(client, buffer, sizeof buffer);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
        const std::size_t end = request.find("\r\n\r\n");
        if (need == std::string::npos && end != std::string::npos) {
          const std::size_t field = request.find("Content-Length: ");
          const std::size_t body =
              field == std::string::npos ? 0 : std::stoul(request.substr(field + 16));
          need = end + 4 + body;
        }
      }
      static const char kReply[] =
          "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n"
          "Content-Length: 2\r\nConnection: close\r\n\r\nok";
      (void)!write(client, kReply, sizeof kReply - 1);
      close(client);
    }
  }

  int listener_ = -1;
  int port_ = 0;
};

const LoopbackServer& Server() {
  static const LoopbackServer server;
  return server;
}

constexpr char kBody[] = "url=https://www.58pic.com/newpic/35186413.html";

// One POST through WebRequest; whether the reply came back.
bool WebRequestPost(const Text& url) {
  return WebRequest(url, {.method = kMethodPost, .postText = kBody}).size() == 2;
}

void BM_WebRequestPost(benchmark::State& state) {
  unsetenv("http_proxy");
  const Text url(Server().Url());
  for (auto _ : state) {
    if (!WebRequestPost(url)) state.SkipWithError("no reply");
  }
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

// The same POST through a new bare easy handle; whether the reply came back.
// `referer` is the Referer line for `url`.
bool BareCurlPost(const std::string& url, const std::string& referer) {
  CURL* curl = curl_easy_init();
  curl_slist* headers = nullptr;
  for (const char* line :
       {"Accept: */*", referer.c_str(), "Accept-Language: zh-cn",
        "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
        "Content-Type: application/x-www-form-urlencoded", "Expect:"}) {
    headers = curl_slist_append(headers, line);
  }
  std::string reply;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  // As WebRequest's handles: no signal handling around each transfer.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, kBody);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  curl_easy_perform(curl);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return reply.size() == 2;
}

void BM_BareCurlPost(benchmark::State& state) {
  unsetenv("http_proxy");
  const std::string url = Server().Url();
  const std::string referer = "Referer: " + url;
  for (auto _ : state) {
    if (!BareCurlPost(url, referer)) state.SkipWithError("no reply");
  }
}

// The two side by side, call for call, in turns (which goes first alternates),
// so that both meet the same load of a shared machine: the median time of
// each per call, and their ratio.
void BM_WebRequestVsBareCurl(benchmark::State& state) {
  unsetenv("http_proxy");
  const std::string url = Server().Url();
  const std::string referer = "Referer: " + url;
  const Text textUrl(url);
  std::vector<double> ours;
  std::vector<double> bare;
  bool oursFirst = true;
  for (auto _ : state) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool oursNow = (turn == 0) == oursFirst;
      const auto start = std::chrono::steady_clock::now();
      const bool ok = oursNow ? WebRequestPost(textUrl) : BareCurlPost(url, referer);
      const std::chrono::duration<double, std::micro> took =
          std::chrono::steady_clock::now() - start;
      if (!ok) state.SkipWithError("no reply");
      (oursNow ? ours : bare).push_back(took.count());
    }
    oursFirst = !oursFirst;
  }
  if (ours.empty()) return;
  const auto median = [](std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2,
                     times.end());
    return times[times.size() / 2];
  };
  const double oursUs = median(ours);
  const double bareUs = median(bare);
  state.counters["web_request_us"] = oursUs;
  state.counters["bare_curl_us"] = bareUs;
  state.counters["ratio"] = oursUs / bareUs;
}

BENCHMARK(BM_WebRequestPost)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_BareCurlPost)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_WebRequestVsBareCurl)->Unit(benchmark::kMicrosecond)->MinTime(4.0);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
