// A scripted HTTP peer on 127.0.0.1 for tests: runs loopback_server.py in a
// child process with a plan of what to do on each connection it accepts, and
// hands back the raw requests that it read.
#ifndef TARNWICK_TESTS_WEB_SERVERS_LOOPBACK_SERVER_H_
#define TARNWICK_TESTS_WEB_SERVERS_LOOPBACK_SERVER_H_

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::loopback {

// What the server does, connection by connection. Texts are raw bytes (zero
// bytes allowed); "@PORT@" in them becomes the server's port.
class ServerPlan {
 public:
  // The plan of a server that reads one request and answers it with `reply`.
  static ServerPlan Answer(std::string_view reply);

  // Starts the actions of the next connection; the actions that follow are
  // its own.
  ServerPlan& Connection();
  // Reads one request: its header and Content-Length bytes of body.
  ServerPlan& Request();
  ServerPlan& Send(std::string_view bytes);
  // Sends the bytes `count` times over: a large reply from a small plan.
  ServerPlan& SendMany(std::string_view bytes, int count);
  // Sends the bytes one at a time, `ms` milliseconds apart.
  ServerPlan& Drip(std::string_view bytes, int ms);
  ServerPlan& Sleep(int ms);
  // Closes the connection abortively: the peer sees a reset.
  ServerPlan& Reset();
  // Keeps the connection open, reading nothing, until the server ends.
  ServerPlan& Hold();
  // Relays bytes both ways to 127.0.0.1:port until either side closes.
  ServerPlan& Tunnel(int port);
  // Starts the connections over again after the last one.
  ServerPlan& Repeat();

  std::string Json() const;

 private:
  ServerPlan& Add(std::string action);

  std::vector<std::vector<std::string>> connections_;
  bool repeat_ = false;
};

class LoopbackServer {
 public:
  // Starts the server and waits until it listens; port() is 0 when it could
  // not be started. With `tls`, connections use TLS with a self-signed
  // certificate for "localhost".
  explicit LoopbackServer(const ServerPlan& plan, bool tls = false);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" (https with TLS) followed by `path`.
  std::string Url(std::string_view path) const;

  // Ends the server (at once if its plan is not done) and returns the
  // requests that it read, in order. Later calls return an empty list.
  std::vector<std::string> Finish();

 private:
  // The server's report, shared by both platforms: the "PORT <n>" line that
  // it writes once it listens, then a "REQUEST <hex>" line for each request
  // it read.
  //
  // Takes the first line of output_, which must be whole, into port_ when it
  // names the port (port_ stays 0 otherwise).
  void TakePort();
  // The requests of the REQUEST lines in output_, in order; empties output_.
  std::vector<std::string> TakeRequests();

  pid_t pid_ = -1;
  int toServer_ = -1;
  int fromServer_ = -1;
  int port_ = 0;
  bool tls_ = false;
  std::string output_;
};

// A port on 127.0.0.1 where nothing listens (one that a server listened on
// and has left); 0 when no server could be started.
int ClosedPort();

}  // namespace tarnwick::loopback

#endif  // TARNWICK_TESTS_WEB_SERVERS_LOOPBACK_SERVER_H_
