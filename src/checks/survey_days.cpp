#include "checks/survey_days.h"

#include "run/calendar.h"

namespace ot::checks {

SurveyDays::SurveyDays(const SurveyDescription& survey) : survey_(survey) {
  SetSurveyCalendar(survey_, calendar_);
  ShiftToSurveyDays(survey_, calendar_);
  operating_ = OperatingDays(survey_, calendar_.num_days);
  std::int64_t first = 0;
  std::int64_t last = 0;
  bool any = false;
  for (const Location& location : survey_.locations) {
    for (const Period& period : location.periods) {
      for (const auto& [date, day] :
           {std::pair(period.begin, period.begin_day), std::pair(period.end, period.end_day)}) {
        if (!any || day < first) {
          first = day;
          first_date_ = date;
        }
        if (!any || day > last) {
          last = day;
          last_date_ = date;
        }
        any = true;
      }
    }
  }
}

std::optional<std::int64_t> SurveyDays::SurveyDay(const Date& date) const {
  if (date.year < calendar_.reference_year) return std::nullopt;
  const std::int64_t day = calendar_.SurveyDay(DayNumber(calendar_.reference_year, date));
  if (!calendar_.Contains(day)) return std::nullopt;
  return day;
}

bool SurveyDays::BeforeSurvey(const Date& date) const {
  return date.year < calendar_.reference_year ||
         calendar_.SurveyDay(DayNumber(calendar_.reference_year, date)) < 0;
}

std::int64_t SurveyDays::Stamp(const Date& date, std::int32_t hour, std::int32_t minute) const {
  return MinuteStamp(calendar_.reference_year, date, hour, minute).stamp;
}

bool SurveyDays::Operating(std::int64_t location, std::int64_t day) const {
  return operating_.Contains(location, day);
}

std::int64_t SurveyDays::BeginDay(std::size_t location, std::size_t period) const {
  return survey_.locations[location].periods[period].begin_day;
}

std::int64_t SurveyDays::EndDay(std::size_t location, std::size_t period) const {
  return survey_.locations[location].periods[period].end_day;
}

}  // namespace ot::checks
