// What a run tells the tools built on top of it (exports, the report) as it
// goes. The classic run has no observer; every hook does nothing by default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "run/calendar.h"
#include "run/survey_input.h"

namespace ot {

// The two answers of the dialogue.
struct RunAnswers {
  std::int32_t independence_period = 0;  // minutes
  std::int32_t occasion_days = 0;        // never 0
};

// Pictures the tally could not place. The first two kinds are warned of;
// pictures outside the survey's days (or before its first year) are left out
// silently.
struct SkippedPictures {
  std::int64_t unlisted_location = 0;
  std::int64_t month_out_of_range = 0;
  std::int64_t outside_survey = 0;
  std::int64_t warned() const { return unlisted_location + month_out_of_range; }
  std::int64_t total() const { return warned() + outside_survey; }
};

// Tallied pictures that point at a mistake in the data; each is still
// tallied as it stands.
struct SuspectPictures {
  std::int64_t on_non_operating_day = 0;
  std::int64_t earlier_than_previous = 0;  // at the same location
  std::int64_t impossible_date_or_time = 0;
};

// One tallied picture, as the tally booked it.
struct TalliedPicture {
  std::int64_t location = 0;  // counted from 0
  std::int64_t day = 0;       // survey day, counted from 0
  // Individuals added to the day's cell (negative only for a negative count).
  std::int64_t added = 0;
  bool new_event = false;      // it began an independent event
  bool operating_day = false;  // its camera was operating that day
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // Input.txt is read and checked, the calendar set and the header written.
  virtual void SurveyReady(const SurveyDescription& /*survey*/, const SurveyCalendar& /*calendar*/,
                           const RunAnswers& /*answers*/, std::int64_t /*num_occasions*/) {}
  // A picture of species `species` (counted from 0) passed every skip. Each
  // species' pictures come in file order, all before its SpeciesDone; the
  // calls of species tallied in one scan of the log may interleave.
  virtual void PictureTallied(std::size_t /*species*/, const TalliedPicture& /*picture*/) {}
  // Species `species`'s block is written.
  virtual void SpeciesDone(std::size_t /*species*/, const SkippedPictures& /*skipped*/) {}
  // A warning line exactly as written to standard error, line end included.
  virtual void Warning(std::string_view /*line*/) {}
  // OccasionTallies.txt is complete, its console line shown and every
  // warning given.
  virtual void RunComplete() {}
};

}  // namespace ot
