#include "textio/free_form.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace ot {
namespace {

TEST(ReadFreeForm, Smoke) {
  auto unit = testing::ReadingUnit("  42   remark\n");
  std::int32_t v = 0;
  ReadFreeForm(*unit, {&v, 1});
  EXPECT_EQ(v, 42);
}

}  // namespace
}  // namespace ot
