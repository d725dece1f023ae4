// `occasion-tallies check`: reads a survey's Input.txt and AllPictures.txt,
// changes nothing, and lists every problem it finds for a person to fix.
#pragma once

#include <cstdint>
#include <ostream>

#include "textio/folder.h"

namespace ot::checks {

// Checks the survey in `folder` (only ever read, through a ReadOnlyFolder)
// and writes its findings to `out`: every kind of problem with its count
// and up to 20 lines "FILE:LINE: what is wrong", then a summary line; or
// the one line saying nothing was found. Years after `this_year` + 1 are
// implausible. Returns kExitOk when nothing was found and kExitProblemsFound
// otherwise; a file that cannot be read throws a RunFailure with
// kExitCannotCheck (CannotCheck).
int CheckSurvey(Folder& folder, std::int32_t this_year, std::ostream& out);

}  // namespace ot::checks
