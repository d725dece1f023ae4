// The checks that hold Input.txt's names against the whole picture log.
#pragma once

#include "checks/input_listing.h"
#include "checks/log_counts.h"
#include "checks/problem_list.h"

namespace ot::checks {

// Adds to `problems`:
// - at a species' line: a name that selects the pictures of other listed
//   species too (another name begins with it, or it is listed again, or it
//   is empty), with the pictures they share; a name that selects no
//   picture;
// - at a location's line: a location with no picture (a repeated listing
//   is left to the check of location names);
// - at the first picture of each location the log names but Input.txt
//   does not: the name and its picture count.
// Where a name differs from one in the other file only in upper and lower
// case or blanks at either end, the other is named as the likely meaning.
void CheckNames(const InputListing& listing, const LogCounts& counts, ProblemList& problems);

}  // namespace ot::checks
