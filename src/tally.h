// The independent-event tally of one species' pictures.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar.h"
#include "run_observer.h"
#include "study_input.h"
#include "textio/text_unit.h"

namespace ot {

// The row of the first location named `name` (all 25 characters compared),
// counted from 1; 0 when no location has that name.
std::int64_t FindLocation(const StudyTables& study, std::string_view name);

struct MinuteStampResult {
  std::int64_t day_number;  // as DayNumber
  std::int64_t stamp;       // ((day number x 24) + hour) x 60 + minute
};

// The day number and minute stamp of a picture taken at `hour`:`minute` on
// `date`, counted from 1 January of `reference_year`. Seconds take no part.
// `date.month` must lie in 1..12.
MinuteStampResult MinuteStamp(std::int32_t reference_year, const Date& date, std::int32_t hour,
                              std::int32_t minute);

// What the tally of one species found besides its counts.
struct TallyOutcome {
  SkippedPictures skipped;
  SuspectPictures suspect;
};

// Where the tally reports each picture it books: species `species` (counted
// from 1) of an observed run. `observer` may be null.
struct TallyListener {
  RunObserver* observer = nullptr;
  std::size_t species = 0;
};

// Whether `date` at `hour`:`minute` can exist: day within its month (29
// days in February of a year divisible by 4), hour 0..23, minute 0..59.
bool IsPossibleDateAndTime(const Date& date, std::int32_t hour, std::int32_t minute);

// Reads SpeciesPics.txt on unit 1 in file order and adds the species'
// independent events into `days`, then removes the file.
// - Consecutive tallied pictures at one location whose minute stamps differ
//   by less than `independence_period` belong to one event, each compared
//   with the previously tallied picture; a gap of exactly the period, or a
//   change of location, starts a new event.
// - An event counts its largest picture count, added in pieces on each
//   picture's own study day: the first picture adds its count, a later one
//   the amount by which it raises the event's maximum.
// - A picture is skipped, the tally state untouched, when its location is
//   not listed, its month lies outside 1..12, its year is before BeginYear,
//   or its study day lies below 1 or after NumDays. Every kind is counted
//   in the result.
// - Tallied pictures on a day their camera was not operating (`operating`),
//   earlier than the previously tallied picture at the same location, or
//   with an impossible date or time are counted in the result.
// A record with an unreadable number ends the run (failure 231).
TallyOutcome TallyDetections(UnitTable& units, const StudyTables& study,
                             const StudyCalendar& calendar, std::int32_t independence_period,
                             const OperatingDays& operating, DayMatrix& days,
                             TallyListener listener = {});

}  // namespace ot
