#include "text/base64.h"

#include <gtest/gtest.h>

#include "text_printers.h"

namespace tarnwick {
namespace {

TEST(Base64Test, Rfc4648Vectors) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
      {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [in, out] : vectors) {
    EXPECT_EQ(Base64Encode(Bytes::FromString(in)), Text(out)) << in;
  }
}

TEST(Base64Test, ZeroAndHighBytesAreUnsigned) {
  EXPECT_EQ(Base64Encode(Bytes::FromString(std::string_view("\0", 1))),
            Text("AA=="));
  EXPECT_EQ(Base64Encode(Bytes::FromString("\xFF\xFF\xFF")), Text("////"));
  EXPECT_EQ(Base64Encode(Bytes::FromString(std::string_view("\x80\x00\xFB\xFF", 4))),
            Text("gAD7/w=="));
  EXPECT_EQ(Base64Encode(Bytes::FromString("user:\xD6\xD0")),
            Text("dXNlcjrW0A=="));
}

}  // namespace
}  // namespace tarnwick
