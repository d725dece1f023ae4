#include "checks/column_faults.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace ot::checks {
namespace {

TEST(ColumnFault, SaysWhatToChange) {
  std::string record = testing::Record("Ridge top", "Red fox", "2020  1  2 10  0  0  1");
  record.pop_back();  // the line end
  const std::string bom = "\xEF\xBB\xBF";
  struct {
    const char* what;
    std::string line;
    std::int64_t number;
    std::string fault;
  } cases[] = {
      {"byte-order mark on line 1", bom + record, 1,
       "begins with a byte-order mark: save the file without one"},
      {"the same bytes further down", bom + record, 2,
       "holds a letter of several bytes: pad each name to 25 bytes, not 25 characters"},
      {"tab", "Ridge top\tRed fox\t2020\t1\t2", 5,
       "holds a tab: pad the fields with blanks instead"},
      {"commas", "Ridge top,Red fox,2020,1,2,10,0,0,1", 5,
       "looks comma-separated: the fields belong in fixed columns"},
      {"5-digit year", record.substr(0, 52) + "2" + record.substr(52), 5,
       "column 57 holds \"0\" where a blank belongs (a year of 5 digits?)"},
      {"a blank too few", record.substr(0, 51) + record.substr(52), 5,
       "column 52 holds \"2\" where a blank belongs"},
      {"an unprintable byte", record.substr(0, 25) + '\x01' + record.substr(26), 5,
       "column 26 holds byte 01 where a blank belongs"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ColumnFault(c.line, c.number), c.fault);
  }
}

}  // namespace
}  // namespace ot::checks
