#include "web/cookie_merge.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text_printers.h"
#include "web/literal_cookie_merge.h"

namespace tarnwick {
namespace {

struct MergeCase {
  const char* old;
  const char* fresh;
  const char* expected;
};

TEST(MergeCookiesTest, Cases) {
  const MergeCase cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
      {"", "a=1;a=deleted;a=1;b=2", "a=1; b=2"},
      {"x=1;x=2;y=deleted;z", "", "x=1; z"},
      {"", "", ""},
      {"a=1", "a=deleted", ""},
      {"a=deleted;a=2", "", ""},
      {"", "a=1;a=2", "a=1; a=2"},
      {"", "a=1;a=1", "a=1"},
      {"b=1", "a=1;b=2;b=3", "a=1; b=2; b=3"},
      {"k = v w", "", "k=vw"},
      {"k=v\xA1\xA1w", "", "k=vw"},
      {"", "a=1;;b=2", "a=1; ; b=2"},
      {"", ";a=1", "; a=1"},
      {"", "a=1;", "a=1"},
      {"SID=1", "sid=2", "sid=2; SID=1"},
      {"flag", "x=1", "x=1; flag"},
      {"flag", "flag=1", "flag=1"},
      {"", "a=DELETED", "a=DELETED"},
      {"", "=deleted", ""},
      {"=1;=2", "", "=1"},
      {"a=1\tb", "", "a=1\tb"},
  };
  for (const MergeCase& c : cases) {
    Text old(c.old);
    EXPECT_EQ(MergeCookies(old, c.fresh), Text(c.expected))
        << "old=" << c.old << " new=" << c.fresh;
    EXPECT_EQ(old, Text(c.expected)) << "old is updated too";
  }
}

TEST(CookieNameTest, Cases) {
  EXPECT_EQ(CookieName("a=1=2"), Text("a"));
  EXPECT_EQ(CookieName(" flag "), Text("flag"));
  EXPECT_EQ(CookieName("=x"), Text());
  EXPECT_EQ(CookieName(""), Text());
  EXPECT_TRUE(ContainsCookieName({Text("x=1"), Text("=2")}, ""));
  EXPECT_FALSE(ContainsCookieName({Text("X=1")}, "x"));
  EXPECT_FALSE(ContainsCookieName({}, ""));
}

TEST(MergeCookiesTest, MatchesLiteralMergeOnRandomCookieTexts) {
  std::mt19937 rng(2026);
  const char* const kPieces[] = {"a", "b", "A", "=", "=", ";", ";", " ",
                                 "\xA1\xA1", "1", "=deleted", "\t", "\xB0"};
  auto randomText = [&] {
    std::string s;
    for (std::size_t n = rng() % 14; n > 0; --n) s += kPieces[rng() % 13];
    return Text(s);
  };
  for (int round = 0; round < 20000; ++round) {
    const Text old = randomText();
    const Text fresh = randomText();
    Text fastOld = old;
    Text literalOld = old;
    ASSERT_EQ(MergeCookies(fastOld, fresh), literal::MergeCookies(literalOld, fresh))
        << "old=" << old.str() << " new=" << fresh.str();
    ASSERT_EQ(fastOld, literalOld);
  }
}

}  // namespace
}  // namespace tarnwick
