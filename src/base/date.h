// A calendar date as written in the survey's files: year, month and day as
// they stand, not checked against any calendar.
#pragma once

#include <cstdint>

namespace ot {

struct Date {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
};

}  // namespace ot
