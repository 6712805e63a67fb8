// The parts of LoopbackServer that are the same on every platform: reading
// the server's report, its URL, and ClosedPort. How the server is started and
// talked to is each platform's own (loopback_server.cpp,
// windows/loopback_server.cpp).
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "web/servers/loopback_server.h"

namespace tarnwick::loopback {
namespace {

std::string HexToBytes(std::string_view hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(
        std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  return bytes;
}

}  // namespace

LoopbackServer::~LoopbackServer() { Finish(); }

std::string LoopbackServer::Url(std::string_view path) const {
  return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") +
         std::to_string(port_) + std::string(path);
}

void LoopbackServer::TakePort() {
  const std::size_t lineEnd = output_.find('\n');
  int port = 0;
  if (std::sscanf(output_.substr(0, lineEnd).c_str(), "PORT %d", &port) == 1) {
    port_ = port;
  }
  output_.erase(0, lineEnd + 1);
}

std::vector<std::string> LoopbackServer::TakeRequests() {
  std::vector<std::string> requests;
  std::istringstream lines(output_);
  output_.clear();
  for (std::string line; std::getline(lines, line);) {
    constexpr std::string_view kPrefix = "REQUEST ";
    if (line.starts_with(kPrefix)) {
      requests.push_back(
          HexToBytes(std::string_view(line).substr(kPrefix.size())));
    }
  }
  return requests;
}

int ClosedPort() {
  // A server with nothing to do ends as soon as it has said its port.
  LoopbackServer server{ServerPlan()};
  const int port = server.port();
  server.Finish();
  return port;
}

}  // namespace tarnwick::loopback
