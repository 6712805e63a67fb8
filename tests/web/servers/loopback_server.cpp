#include "web/servers/loopback_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace tarnwick::loopback {
namespace {

using Clock = std::chrono::steady_clock;

// How long the server may take to start listening (the TLS certificate is
// made first), and to end once told to.
constexpr std::chrono::seconds kStartLimit{10};
constexpr std::chrono::seconds kFinishLimit{10};

long long MsLeft(Clock::time_point deadline) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                               Clock::now())
      .count();
}

// Appends what `fd` has to `output` until it yields a newline (when
// `untilNewline`) or end of file, or the deadline passes. Returns false at the
// deadline.
bool ReadInto(int fd, std::string& output, bool untilNewline,
              Clock::time_point deadline) {
  for (;;) {
    if (untilNewline && output.find('\n') != std::string::npos) return true;
    const long long left = MsLeft(deadline);
    if (left <= 0) return false;
    pollfd waiting{fd, POLLIN, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return true;
    output.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

LoopbackServer::LoopbackServer(const ServerPlan& plan, bool tls) : tls_(tls) {
  // The server's standard input is a socket, so that writing the plan to a
  // server that has died fails instead of raising SIGPIPE.
  int toChild[2];
  int fromChild[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, toChild) != 0) return;
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);

  std::string python = TARNWICK_PYTHON3;
  std::string script = TARNWICK_LOOPBACK_SERVER_SCRIPT;
  std::string tlsFlag = "--tls";
  std::vector<char*> argv{python.data(), script.data()};
  if (tls) argv.push_back(tlsFlag.data());
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&pid_, python.c_str(), &actions, nullptr,
                                  argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);
  toServer_ = toChild[1];
  fromServer_ = fromChild[0];
  if (spawned != 0) {
    pid_ = -1;
    return;
  }
  const std::string planLine = plan.Json() + "\n";
  for (std::size_t sent = 0; sent < planLine.size();) {
    const ssize_t done = send(toServer_, planLine.data() + sent,
                              planLine.size() - sent, MSG_NOSIGNAL);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return;
    sent += static_cast<std::size_t>(done);
  }
  if (!ReadInto(fromServer_, output_, true, Clock::now() + kStartLimit)) return;
  TakePort();
}

std::vector<std::string> LoopbackServer::Finish() {
  if (toServer_ >= 0) {
    close(toServer_);
    toServer_ = -1;
  }
  if (fromServer_ >= 0) {
    ReadInto(fromServer_, output_, false, Clock::now() + kFinishLimit);
    close(fromServer_);
    fromServer_ = -1;
  }
  if (pid_ > 0) {
    const Clock::time_point deadline = Clock::now() + kFinishLimit;
    while (waitpid(pid_, nullptr, WNOHANG) == 0) {
      if (MsLeft(deadline) <= 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        break;
      }
      usleep(10000);
    }
    pid_ = -1;
  }
  return TakeRequests();
}

}  // namespace tarnwick::loopback
