// LoopbackServer for Windows programs under Wine, which cannot start the
// Linux server script themselves: loopback_broker.py, which runs the test
// program, starts it for them. One connection to the broker stands for one
// server; its port is in TARNWICK_LOOPBACK_BROKER.
#include "web/servers/loopback_server.h"

#include <winsock2.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::loopback {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kStartLimit{10};
constexpr std::chrono::seconds kFinishLimit{10};

// The connection lives in toServer_: a socket handle fits in 32 bits.
SOCKET SocketOf(int value) { return static_cast<SOCKET>(value); }

bool StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

SOCKET ConnectToBroker() {
  const char* port = std::getenv("TARNWICK_LOOPBACK_BROKER");
  if (port == nullptr || !StartWinsock()) return INVALID_SOCKET;
  const SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (connection == INVALID_SOCKET) return INVALID_SOCKET;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  if (connect(connection, reinterpret_cast<const sockaddr*>(&address),
              sizeof address) != 0) {
    closesocket(connection);
    return INVALID_SOCKET;
  }
  return connection;
}

bool SendAll(SOCKET connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const int sent = send(connection, bytes.data(),
                          static_cast<int>(bytes.size()), 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// Appends what the connection brings to `output` until it yields a newline
// (when `untilNewline`) or ends, or the deadline passes. False at the
// deadline.
bool ReadInto(SOCKET connection, std::string& output, bool untilNewline,
              Clock::time_point deadline) {
  for (;;) {
    if (untilNewline && output.find('\n') != std::string::npos) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - Clock::now())
                          .count();
    if (left <= 0) return false;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(connection, &readable);
    timeval wait{static_cast<long>(left / 1000),
                 static_cast<long>(left % 1000 * 1000)};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0) return false;
    char buffer[4096];
    const int got = recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return true;
    output.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

LoopbackServer::LoopbackServer(const ServerPlan& plan, bool tls) : tls_(tls) {
  const SOCKET connection = ConnectToBroker();
  if (connection == INVALID_SOCKET) return;
  toServer_ = static_cast<int>(connection);
  // The server's options, then its standard input: the plan.
  if (!SendAll(connection, std::string(tls ? "--tls\n" : "\n")) ||
      !SendAll(connection, plan.Json() + "\n") ||
      !ReadInto(connection, output_, true, Clock::now() + kStartLimit)) {
    return;
  }
  TakePort();
}

std::vector<std::string> LoopbackServer::Finish() {
  if (toServer_ >= 0) {
    const SOCKET connection = SocketOf(toServer_);
    shutdown(connection, SD_SEND);
    ReadInto(connection, output_, false, Clock::now() + kFinishLimit);
    closesocket(connection);
    toServer_ = -1;
  }
  return TakeRequests();
}

}  // namespace tarnwick::loopback
