// The plan of a loopback server, as the JSON that loopback_server.py reads.
#include <cstdio>
#include <string>
#include <string_view>

#include "web/servers/loopback_server.h"

namespace tarnwick::loopback {
namespace {

// A JSON string whose characters U+0000-U+00FF stand for the bytes.
std::string JsonBytes(std::string_view bytes) {
  std::string json = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      json.push_back(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", byte);
      json.append(escape);
    }
  }
  json.push_back('"');
  return json;
}

}  // namespace

ServerPlan ServerPlan::Answer(std::string_view reply) {
  ServerPlan plan;
  plan.Connection().Request().Send(reply);
  return plan;
}

ServerPlan& ServerPlan::Connection() {
  connections_.emplace_back();
  return *this;
}

ServerPlan& ServerPlan::Add(std::string action) {
  if (connections_.empty()) connections_.emplace_back();
  connections_.back().push_back(std::move(action));
  return *this;
}

ServerPlan& ServerPlan::Request() { return Add(R"(["request"])"); }

ServerPlan& ServerPlan::Send(std::string_view bytes) {
  return Add(R"(["send",)" + JsonBytes(bytes) + "]");
}

ServerPlan& ServerPlan::SendMany(std::string_view bytes, int count) {
  return Add(R"(["sendmany",)" + JsonBytes(bytes) + "," +
             std::to_string(count) + "]");
}

ServerPlan& ServerPlan::Drip(std::string_view bytes, int ms) {
  return Add(R"(["drip",)" + JsonBytes(bytes) + "," + std::to_string(ms) +
             "]");
}

ServerPlan& ServerPlan::Sleep(int ms) {
  return Add(R"(["sleep",)" + std::to_string(ms) + "]");
}

ServerPlan& ServerPlan::Reset() { return Add(R"(["reset"])"); }

ServerPlan& ServerPlan::Hold() { return Add(R"(["hold"])"); }

ServerPlan& ServerPlan::Tunnel(int port) {
  return Add(R"(["tunnel",)" + std::to_string(port) + "]");
}

ServerPlan& ServerPlan::Repeat() {
  repeat_ = true;
  return *this;
}

std::string ServerPlan::Json() const {
  std::string json = R"({"connections":[)";
  for (std::size_t i = 0; i < connections_.size(); ++i) {
    if (i != 0) json.push_back(',');
    json.push_back('[');
    for (std::size_t k = 0; k < connections_[i].size(); ++k) {
      if (k != 0) json.push_back(',');
      json.append(connections_[i][k]);
    }
    json.push_back(']');
  }
  json.append(repeat_ ? R"(],"repeat":true})" : R"(],"repeat":false})");
  return json;
}

}  // namespace tarnwick::loopback
