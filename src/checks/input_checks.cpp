#include "checks/input_checks.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "base/strings.h"
#include "checks/survey_text.h"
#include "run/calendar.h"

namespace ot::checks {
namespace {

struct Where {
  std::size_t location;  // counted from 0
  std::size_t period;    // counted from 0
  std::string entry;     // "location 3 (Oak ridge)"
};

std::string OfPeriod(const Where& where) {
  return "of period " + std::to_string(where.period + 1) + " of " + where.entry;
}

// The refused values of one period, in the run's order; returns whether
// there was one.
bool CheckRefused(const Period& period, const PeriodLines& lines, const Where& where,
                  ProblemList& problems) {
  struct Value {
    const char* what;
    std::int32_t value;
    std::int32_t high;
    std::int64_t line;
  };
  const Value values[] = {{"begin year", period.begin.year, kLastYear, lines[0]},
                          {"begin month", period.begin.month, 12, lines[1]},
                          {"end year", period.end.year, kLastYear, lines[3]},
                          {"end month", period.end.month, 12, lines[4]}};
  bool refused = false;
  for (const Value& v : values) {
    if (v.value >= 1 && v.value <= v.high) continue;
    refused = true;
    problems.Add(ProblemKind::kRefusedDate, SurveyFile::kInput, v.line, [&] {
      return std::string(v.what) + " " + std::to_string(v.value) + " " + OfPeriod(where) +
             " is outside 1.." + std::to_string(v.high);
    });
  }
  return refused;
}

// Dates that do not exist and implausible years of a period the run takes.
void CheckDates(const Period& period, const PeriodLines& lines, const Where& where,
                std::int32_t this_year, ProblemList& problems) {
  struct End {
    const char* which;
    const Date& date;
    std::int64_t year_line;
    std::int64_t day_line;
  };
  for (const End& end : {End{"begin", period.begin, lines[0], lines[2]},
                         End{"end", period.end, lines[3], lines[5]}}) {
    const Date& date = end.date;
    if (!IsPossibleDateAndTime(date, 0, 0)) {
      problems.Add(ProblemKind::kImpossibleDate, SurveyFile::kInput, end.day_line, [&] {
        return std::string(end.which) + " date " + FormatIsoDate(date) + " " + OfPeriod(where) +
               " does not exist";
      });
    }
    if (date.year < kFirstPlausibleYear || date.year > this_year + 1) {
      problems.Add(ProblemKind::kImplausibleYear, SurveyFile::kInput, end.year_line, [&] {
        return std::string(end.which) + " year " + std::to_string(date.year) + " " +
               OfPeriod(where) +
               (date.year < kFirstPlausibleYear ? " is before 1900"
                                                : " is after " + std::to_string(this_year + 1));
      });
    }
  }
}

// Periods that share more than a day with one that begins no later.
void CheckOverlaps(const Location& location, const std::vector<PeriodLines>& lines,
                   const std::vector<std::size_t>& taken, const Where& where,
                   const SurveyDays& days, ProblemList& problems) {
  std::vector<std::size_t> order = taken;
  const std::size_t i = where.location;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return days.BeginDay(i, a) < days.BeginDay(i, b);
  });
  std::size_t widest = order.empty() ? 0 : order.front();  // the latest end so far
  for (std::size_t n = 1; n < order.size(); ++n) {
    const std::size_t j = order[n];
    if (days.BeginDay(i, j) < days.EndDay(i, widest)) {
      const Date& until = days.EndDay(i, j) < days.EndDay(i, widest) ? location.periods[j].end
                                                                     : location.periods[widest].end;
      problems.Add(ProblemKind::kPeriodOverlap, SurveyFile::kInput, lines[j][0], [&] {
        return "period " + std::to_string(j + 1) + " of " + where.entry + " overlaps period " +
               std::to_string(widest + 1) + " from " + FormatIsoDate(location.periods[j].begin) +
               " to " + FormatIsoDate(until);
      });
    }
    if (days.EndDay(i, j) > days.EndDay(i, widest)) widest = j;
  }
}

void CheckPeriods(const InputListing& listing, const SurveyDays& days, std::int32_t this_year,
                  ProblemList& problems) {
  const auto& locations = listing.survey.locations;
  for (std::size_t i = 0; i < locations.size(); ++i) {
    const Location& location = locations[i];
    Where where{i, 0, Entry("location", i + 1, location.name)};
    std::vector<std::size_t> taken;  // periods that count operating days
    for (std::size_t j = 0; j < location.periods.size(); ++j) {
      where.period = j;
      const Period& period = location.periods[j];
      const PeriodLines& lines = listing.period_lines[i][j];
      if (CheckRefused(period, lines, where, problems)) continue;
      CheckDates(period, lines, where, this_year, problems);
      if (days.EndDay(i, j) >= days.BeginDay(i, j)) {
        taken.push_back(j);
        continue;
      }
      problems.Add(ProblemKind::kPeriodBackwards, SurveyFile::kInput, lines[3], [&] {
        return "period " + std::to_string(j + 1) + " of " + where.entry + " ends on " +
               FormatIsoDate(period.end) + ", before it begins on " + FormatIsoDate(period.begin);
      });
    }
    CheckOverlaps(location, listing.period_lines[i], taken, where, days, problems);
  }
}

void CheckLocationNames(const InputListing& listing, ProblemList& problems) {
  std::unordered_map<std::string_view, std::size_t> first;  // name -> index
  const auto& locations = listing.survey.locations;
  for (std::size_t i = 0; i < locations.size(); ++i) {
    const auto [it, added] = first.try_emplace(locations[i].name, i);
    if (added) continue;
    const std::size_t earlier = it->second;
    problems.Add(ProblemKind::kDuplicateLocation, SurveyFile::kInput, listing.location_lines[i],
                 [&] {
                   return Entry("location", i + 1, locations[i].name) +
                          " has the same name as location " + std::to_string(earlier + 1) +
                          " (line " + std::to_string(listing.location_lines[earlier]) + ")";
                 });
  }
}

}  // namespace

void CheckInput(const InputListing& listing, const SurveyDays& days, std::int32_t this_year,
                ProblemList& problems) {
  CheckPeriods(listing, days, this_year, problems);
  CheckLocationNames(listing, problems);
}

}  // namespace ot::checks
