#include "text/text_array.h"

#include <gtest/gtest.h>

#include "text_printers.h"

namespace tarnwick {
namespace {

TEST(TextArrayTest, AppendStoresACopyAndClearEmpties) {
  TextArray a;
  Text t("x");
  ArrayAppend(a, t);
  ArrayAppend(a, Text());
  t = Text("changed");
  ASSERT_EQ(ArrayCount(a), 2);
  EXPECT_EQ(a[0], Text("x"));
  EXPECT_EQ(a[1], Text());
  ArrayClear(a);
  EXPECT_EQ(ArrayCount(a), 0);
}

}  // namespace
}  // namespace tarnwick
