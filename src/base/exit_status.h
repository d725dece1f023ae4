// The program's exit statuses, each named once. Only main returns them to
// the system; commands return them and failures carry them.
#pragma once

namespace ot {

// The run or the command ended normally (`check`: and found no problem).
inline constexpr int kExitOk = 0;

// `check` read both files and listed problems.
inline constexpr int kExitProblemsFound = 1;

// An import, a CSV export or a report failed (the run itself, where there
// was one, had ended normally).
inline constexpr int kExitToolFailed = 1;

// The command line cannot be understood.
inline constexpr int kExitUsage = 2;

// `check` could not read a file of the survey.
inline constexpr int kExitCannotCheck = 2;

// Every failure of the classic run: a run-time error of the text layer, a
// system or memory failure, a date outside its range.
inline constexpr int kExitRunFailed = 127;

}  // namespace ot
