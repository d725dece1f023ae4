// The independent-event tally of one species' pictures.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "run/calendar.h"
#include "run/matrix.h"
#include "run/operating_days.h"
#include "run/picture_record.h"
#include "run/run_observer.h"
#include "run/survey_input.h"
#include "textio/text_unit.h"

namespace ot {

// What FindLocation and LocationIndex::Find give for a name no location has.
inline constexpr std::int64_t kNoLocation = -1;

// The first location named `name` (all 25 characters compared), counted
// from 0; kNoLocation when no location has that name.
std::int64_t FindLocation(const SurveyDescription& survey, std::string_view name);

// What the tally of one species found besides its counts.
struct TallyOutcome {
  SkippedPictures skipped;
  SuspectPictures suspect;
};

// Where the tally reports each picture it books: species `species` (counted
// from 0) of an observed run. `observer` may be null.
struct TallyListener {
  RunObserver* observer = nullptr;
  std::size_t species = 0;
};

// Locations by name (all 25 characters compared), the first listing of a
// repeated name winning. The survey must outlive the index.
class LocationIndex {
 public:
  explicit LocationIndex(const SurveyDescription& survey);
  // The location named `name`, counted from 0; kNoLocation when no location
  // has that name.
  std::int64_t Find(std::string_view name) const;

 private:
  std::unordered_map<std::string_view, std::int64_t> rows_;  // views of the survey's names
};

// What becomes of a picture in every species' tally: it is tallied, or
// skipped for one of three reasons.
enum class Placement { kTallied, kUnlistedLocation, kMonthOutOfRange, kOutsideSurvey };

// Where a tallied picture lies in the survey.
struct PlacedPicture {
  std::int64_t location = 0;  // counted from 0
  std::int64_t day = 0;       // survey day, counted from 0
  std::int64_t stamp = 0;     // minute stamp (see MinuteStamp)
  bool operating_day = false;
  bool possible = true;  // IsPossibleDateAndTime
};

// Places pictures in the survey, the same for every species that selects
// them. The survey, calendar and operating days must outlive the placer.
class PicturePlacer {
 public:
  // `rows`: the rows of the day table; a location beyond them is outside.
  PicturePlacer(const SurveyDescription& survey, const SurveyCalendar& calendar,
                const OperatingDays& operating, std::int64_t rows);
  // A picture is skipped when its location is not listed, else when its
  // month lies outside 1..12, else (outside the survey) when its year is
  // before reference_year or its survey day lies outside the calendar.
  // `placed` is set for a tallied picture.
  Placement Place(const PictureRecord& picture, PlacedPicture& placed);

 private:
  std::int64_t FindLocation(std::string_view name);
  LocationIndex index_;
  const SurveyCalendar& calendar_;
  const OperatingDays& operating_;
  std::int64_t rows_;
  // The last name looked up: a log holds each location's pictures together.
  std::array<char, kNameLength> last_name_{};
  std::int64_t last_location_ = kNoLocation;
  bool has_last_ = false;
};

// The independent-event tally of one species, picture by picture in file
// order (see TallyDetections for the rules).
class SpeciesTally {
 public:
  explicit SpeciesTally(std::int32_t independence_period)
      : independence_period_(independence_period) {}
  // Counts a picture skipped for `placement` (not kTallied).
  void Skip(Placement placement);
  // Books a placed picture of `count` individuals and returns what it
  // added to its day's cell.
  TalliedPicture Book(const PlacedPicture& placed, std::int32_t count);
  const TallyOutcome& outcome() const { return outcome_; }

 private:
  std::int64_t independence_period_;
  std::int64_t previous_location_ = kNoLocation;  // none before the first picture
  std::int64_t previous_stamp_ = 0;
  std::int64_t event_maximum_ = 0;
  TallyOutcome outcome_;
};

// Reads SpeciesPics.txt on unit 1 in file order and adds the species'
// independent events into `days`, then removes the file.
// - Consecutive tallied pictures at one location whose minute stamps differ
//   by less than `independence_period` belong to one event, each compared
//   with the previously tallied picture; a gap of exactly the period, or a
//   change of location, starts a new event.
// - An event counts its largest picture count, added in pieces on each
//   picture's own survey day: the first picture adds its count, a later one
//   the amount by which it raises the event's maximum.
// - A picture is skipped, the tally state untouched, when its location is
//   not listed, its month lies outside 1..12, its year is before reference_year,
//   or its survey day lies outside the calendar. Every kind is counted in the
//   result.
// - Tallied pictures on a day their camera was not operating (`operating`),
//   earlier than the previously tallied picture at the same location, or
//   with an impossible date or time are counted in the result.
// A record with an unreadable number ends the run (failure 231).
TallyOutcome TallyDetections(UnitTable& units, const SurveyDescription& survey,
                             const SurveyCalendar& calendar, std::int32_t independence_period,
                             const OperatingDays& operating, DayMatrix& days,
                             TallyListener listener = {});

}  // namespace ot
