// Why a line of AllPictures.txt is not in the fixed columns, in words that
// say what to change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ot::checks {

// For a line the run's rule finds out of the fixed columns
// (MisalignedRecords::IsMisaligned): the likeliest cause, from a byte-order
// mark on line 1, a tab, commas between the fields, a letter of several
// bytes (a name padded to 25 characters instead of 25 bytes), to the first
// separating column that holds something other than a blank.
std::string ColumnFault(std::string_view line, std::int64_t number);

}  // namespace ot::checks
