// The results of one run gathered for the tools that hand them on (CSV
// exports, the visual report): occasions as calendar dates, each location's
// effort, and per species the individuals of its independent events per
// location and occasion, uncapped and without the non-operating days that
// OccasionTallies.txt subtracts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/calendar.h"
#include "run/operating_days.h"
#include "run/run_observer.h"
#include "run/survey_input.h"

namespace ot {

// A camera-trap occasion: survey days first_day..last_day, counted from 0
// (none when last_day < first_day, which only an occasion length below 1
// gives).
struct OccasionSpan {
  std::int64_t first_day = 0;
  std::int64_t last_day = 0;
  Date first_date;
  Date last_date;
  std::int64_t days() const { return last_day >= first_day ? last_day - first_day + 1 : 0; }
};

// Pictures of one species at one location on one survey day, as the
// operation chart draws them.
struct DayPictures {
  std::int64_t location = 0;  // counted from 0
  std::int64_t day = 0;       // survey day, counted from 0
  std::int64_t pictures = 0;
  bool operating_day = false;
};

struct SpeciesResults {
  std::string name;                   // as listed, without trailing blanks
  std::int64_t pictures = 0;          // tallied
  std::int64_t pictures_skipped = 0;  // every kind of skip
  std::int64_t events = 0;            // independent events
  std::int64_t individuals = 0;       // summed over events
  // Individuals added per location and occasion: [location x occasions +
  // occasion].
  std::vector<std::int64_t> counts;
  // Only gathered when asked for: runs of pictures on one day, in the order
  // the tally met them (a day may appear more than once).
  std::vector<DayPictures> day_pictures;
};

class SurveyResults : public RunObserver {
 public:
  // With `keep_day_pictures`, each species' pictures are kept per location
  // and day for drawing.
  explicit SurveyResults(bool keep_day_pictures = false) : keep_day_pictures_(keep_day_pictures) {}

  void SurveyReady(const SurveyDescription& survey, const SurveyCalendar& calendar,
                   const RunAnswers& answers, std::int64_t num_occasions) override;
  void PictureTallied(std::size_t species, const TalliedPicture& picture) override;
  void SpeciesDone(std::size_t species, const SkippedPictures& skipped) override;
  void Warning(std::string_view line) override { warnings_.emplace_back(line); }
  void RunComplete() override { complete_ = true; }

  // Whether the run reached its normal end.
  bool complete() const { return complete_; }
  const RunAnswers& answers() const { return answers_; }
  // Location names as listed, without trailing blanks, in Input.txt order.
  const std::vector<std::string>& locations() const { return locations_; }
  const std::vector<OccasionSpan>& occasions() const { return occasions_; }
  const std::vector<SpeciesResults>& species() const { return species_; }
  // Warning lines of the run, each with its line end.
  const std::vector<std::string>& warnings() const { return warnings_; }
  // The number of the survey's days (0 when no period exists) and the dates
  // of the first and the last.
  std::int64_t survey_days() const { return survey_days_; }
  Date first_date() const { return DateOfSurveyDay(0); }
  Date last_date() const { return DateOfSurveyDay(survey_days_ - 1); }
  // The calendar date of survey day `day` (counted from 0; any day, also
  // outside the survey).
  Date DateOfSurveyDay(std::int64_t day) const { return calendar_.DateOfSurveyDay(day); }

  // Every location, occasion, survey day and species below is counted from 0.

  // Days in occasion `occasion` on which location `location`'s camera
  // operated.
  std::int64_t Effort(std::int64_t location, std::int64_t occasion) const;
  // Whether location `location` operated on survey day `day`.
  bool Operating(std::int64_t location, std::int64_t day) const {
    return operating_.Contains(location, day);
  }
  // Operating days of a location over the whole survey, and of all locations.
  std::int64_t OperatingDaysOf(std::int64_t location) const;
  std::int64_t TrapDays() const;
  // The individuals of species `species` at a location in an occasion; none
  // (NA) when the camera did not operate in the occasion.
  std::optional<std::int64_t> Count(std::size_t species, std::int64_t location,
                                    std::int64_t occasion) const;
  // Locations with a positive count in an occasion in which their camera
  // operated (so a detection only on days without effort, which Count
  // gives as NA, does not make a location detected and the ratio of the
  // two never exceeds 1), and locations that operated on at least one day.
  std::int64_t SitesDetected(std::size_t species) const;
  std::int64_t SitesOperating() const;
  // The periods of a location as survey days, as listed (not clamped).
  const std::vector<Period>& PeriodsOf(std::int64_t location) const {
    return periods_[static_cast<std::size_t>(location)];
  }

 private:
  std::size_t CountIndex(std::int64_t location, std::int64_t occasion) const {
    return static_cast<std::size_t>(location * static_cast<std::int64_t>(occasions_.size()) +
                                    occasion);
  }
  // The occasion of survey day `day`, kNoOccasion outside every occasion.
  std::int64_t OccasionOf(std::int64_t day) const;

  bool keep_day_pictures_;
  bool complete_ = false;
  RunAnswers answers_;
  SurveyCalendar calendar_;
  std::int64_t survey_days_ = 0;
  std::vector<std::string> locations_;
  std::vector<std::vector<Period>> periods_;
  std::vector<OccasionSpan> occasions_;
  OperatingDays operating_;
  std::vector<std::int64_t> effort_;  // as counts
  std::vector<SpeciesResults> species_;
  std::vector<std::string> warnings_;
};

}  // namespace ot
