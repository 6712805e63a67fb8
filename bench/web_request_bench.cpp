// WebRequest's POST on loopback against a bare libcurl easy handle making the
// same POST (same headers, a new handle per call, as WebRequest makes a new
// request object per call), against the same small server.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

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

void BM_WebRequestPost(benchmark::State& state) {
  unsetenv("http_proxy");
  const Text url(Server().Url());
  for (auto _ : state) {
    const Bytes reply = WebRequest(url, {.method = kMethodPost, .postText = kBody});
    if (reply.size() != 2) state.SkipWithError("no reply");
  }
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

void BM_BareCurlPost(benchmark::State& state) {
  unsetenv("http_proxy");
  const std::string url = Server().Url();
  const std::string referer = "Referer: " + url;
  for (auto _ : state) {
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
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, kBody);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    curl_easy_perform(curl);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    if (reply.size() != 2) state.SkipWithError("no reply");
  }
}

BENCHMARK(BM_WebRequestPost)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_BareCurlPost)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
