// The survey's days as the run counts them (its calendar, where every year
// divisible by 4 is a leap year): where a picture falls, and whether its
// camera operated that day.
#pragma once

#include <cstdint>
#include <optional>

#include "run/calendar.h"
#include "run/operating_days.h"
#include "run/survey_input.h"

namespace ot::checks {

class SurveyDays {
 public:
  explicit SurveyDays(const SurveyDescription& survey);

  // Where the tally places a picture taken on `date` (month in 1..12): its
  // survey day counted from 0, or none when the run leaves it out as before
  // the survey's first day (its year included) or after its last.
  std::optional<std::int64_t> SurveyDay(const Date& date) const;
  // Whether `SurveyDay` left `date` out as too early (else too late).
  bool BeforeSurvey(const Date& date) const;
  // The minute stamp by which the tally orders a location's pictures.
  std::int64_t Stamp(const Date& date, std::int32_t hour, std::int32_t minute) const;
  // Whether the camera of location `location` operated on survey day `day`
  // (both counted from 0).
  bool Operating(std::int64_t location, std::int64_t day) const;
  // The survey days of period `period` of location `location` (all counted
  // from 0), from the run's day numbers.
  std::int64_t BeginDay(std::size_t location, std::size_t period) const;
  std::int64_t EndDay(std::size_t location, std::size_t period) const;

  // The dates of the survey's first and last day as Input.txt writes them
  // (a message quotes them as the user wrote them).
  const Date& first_date() const { return first_date_; }
  const Date& last_date() const { return last_date_; }

 private:
  SurveyDescription survey_;  // with every period's survey days set
  SurveyCalendar calendar_;
  OperatingDays operating_;
  Date first_date_;
  Date last_date_;
};

}  // namespace ot::checks
