// CSV fields as R, pandas and spreadsheets read them back.
#include "export/csv_writer.h"

#include <gtest/gtest.h>

namespace ot {
namespace {

TEST(AppendCsvField, QuotesOnlyWhatWouldSplitOrEndAField) {
  const struct {
    std::string field;
    std::string written;
  } cases[] = {
      {"Ridge top", "Ridge top"},
      {"", ""},
      {" leading blank", " leading blank"},
      {"tab\tinside", "tab\tinside"},
      {"Creek, lower", "\"Creek, lower\""},
      {"Roe deer \"buck\"", "\"Roe deer \"\"buck\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"carriage\rreturn", "\"carriage\rreturn\""},
      {"Fuchs \xc3\xa4", "Fuchs \xc3\xa4"},  // UTF-8 bytes pass through
      {std::string("nul\0byte", 8), std::string("nul\0byte", 8)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    std::string out = "x,";
    AppendCsvField(out, c.field);
    EXPECT_EQ(out, "x," + c.written);
  }
}

}  // namespace
}  // namespace ot
