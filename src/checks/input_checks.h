// The checks of Input.txt alone: its dates and periods and its location
// names.
#pragma once

#include <cstdint>

#include "checks/input_listing.h"
#include "checks/problem_list.h"
#include "checks/survey_days.h"

namespace ot::checks {

// The first year after the plausible ones is `this_year` + 2.
inline constexpr std::int32_t kFirstPlausibleYear = 1900;

// Adds to `problems`, each at the line of the value at fault:
// - years outside 1..9999 and months outside 1..12, which the run refuses
//   (every one, in the run's order, with the run's own words);
// - begin or end dates that do not exist in the run's calendar, and years
//   before 1900 or after `this_year` + 1;
// - periods that end before they begin, and periods of one location that
//   share more than a day (sharing the day a camera was serviced on is
//   normal), each named at the later period;
// - location names listed again, at the later listing.
// A period with a value the run refuses is not looked at further.
void CheckInput(const InputListing& listing, const SurveyDays& days, std::int32_t this_year,
                ProblemList& problems);

}  // namespace ot::checks
