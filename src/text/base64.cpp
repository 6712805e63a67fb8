#include "text/base64.h"

#include <string>

namespace tarnwick {

namespace {

constexpr char kAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

// Groups of three bytes become four characters; a last, incomplete group is
// encoded as if padded with zero bytes, and the characters that stand only
// for padding become "=".
Text Base64Encode(const Bytes& input) {
  const std::uint8_t* in = input.data();
  const std::size_t n = input.size();
  std::string out;
  out.reserve((n + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    const std::uint32_t group = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out.push_back(kAlphabet[(group >> 18) & 63]);
    out.push_back(kAlphabet[(group >> 12) & 63]);
    out.push_back(kAlphabet[(group >> 6) & 63]);
    out.push_back(kAlphabet[group & 63]);
  }
  const std::size_t rest = n - i;
  if (rest != 0) {
    const std::uint32_t group =
        (in[i] << 16) | (rest == 2 ? in[i + 1] << 8 : 0);
    out.push_back(kAlphabet[(group >> 18) & 63]);
    out.push_back(kAlphabet[(group >> 12) & 63]);
    out.push_back(rest == 2 ? kAlphabet[(group >> 6) & 63] : '=');
    out.push_back('=');
  }
  return Text(std::move(out));
}

}  // namespace tarnwick
