#include "run/operating_days.h"

#include <algorithm>

namespace ot {

void MarkOperatingDays(const SurveyDescription& survey, DayMatrix& days) {
  days.Fill(-1);
  const std::int64_t rows = std::min<std::int64_t>(days.rows(), survey.locations.size());
  for (std::int64_t i = 0; i < rows; ++i) {
    for (const Period& period : survey.locations[static_cast<std::size_t>(i)].periods) {
      const std::int64_t first = std::max<std::int64_t>(period.begin_day, 0);
      const std::int64_t last = std::min(period.end_day, days.columns() - 1);
      for (std::int64_t d = first; d <= last; ++d) days(i, d) = 0;
    }
  }
}

OperatingDays::OperatingDays(const SurveyDescription& survey, std::int64_t num_days) {
  runs_.resize(survey.locations.size());
  for (std::size_t i = 0; i < survey.locations.size(); ++i) {
    std::vector<DayRun>& runs = runs_[i];
    for (const Period& period : survey.locations[i].periods) {
      const std::int64_t first = std::max<std::int64_t>(period.begin_day, 0);
      const std::int64_t last = std::min(period.end_day, num_days - 1);
      if (first <= last) runs.push_back({first, last});
    }
    std::sort(runs.begin(), runs.end(),
              [](const DayRun& a, const DayRun& b) { return a.first < b.first; });
    std::size_t kept = 0;
    for (const DayRun& run : runs) {
      if (kept > 0 && run.first <= runs[kept - 1].last + 1) {
        runs[kept - 1].last = std::max(runs[kept - 1].last, run.last);
      } else {
        runs[kept++] = run;
      }
    }
    runs.resize(kept);
  }
}

bool OperatingDays::Contains(std::int64_t location, std::int64_t day) const {
  return CountIn(location, day, day) == 1;
}

std::int64_t OperatingDays::CountIn(std::int64_t location, std::int64_t first,
                                    std::int64_t last) const {
  if (location < 0 || location >= static_cast<std::int64_t>(runs_.size())) return 0;
  const std::vector<DayRun>& runs = runs_[static_cast<std::size_t>(location)];
  // The first run that ends on or after `first`.
  auto it = std::lower_bound(runs.begin(), runs.end(), first,
                             [](const DayRun& run, std::int64_t day) { return run.last < day; });
  std::int64_t count = 0;
  for (; it != runs.end() && it->first <= last; ++it) {
    count += std::min(it->last, last) - std::max(it->first, first) + 1;
  }
  return count;
}

}  // namespace ot
