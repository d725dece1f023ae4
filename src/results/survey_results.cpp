#include "results/survey_results.h"

#include <algorithm>

#include "base/strings.h"

namespace ot {
namespace {

constexpr std::int64_t kDaysInFourYears = 4 * 365 + 1;  // any four years hold one leap year
constexpr std::int64_t kDaysInMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::int64_t YearLength(std::int64_t year) {
  return year % 4 == 0 ? 366 : 365;
}

std::string WithoutTrailingBlanks(std::string_view name) {
  return std::string(StripTrailingSpaces(name));
}

}  // namespace

Date DateOfDayNumber(std::int32_t reference_year, std::int64_t day_number) {
  std::int64_t year = reference_year;
  std::int64_t n = day_number;
  if (n < 1) {
    const std::int64_t blocks = (1 - n + kDaysInFourYears - 1) / kDaysInFourYears;
    year -= 4 * blocks;
    n += kDaysInFourYears * blocks;
  }
  const std::int64_t blocks = (n - 1) / kDaysInFourYears;
  year += 4 * blocks;
  n -= kDaysInFourYears * blocks;
  while (n > YearLength(year)) n -= YearLength(year++);
  std::int32_t month = 1;
  for (;; ++month) {
    const std::int64_t length = kDaysInMonth[month] + (month == 2 && year % 4 == 0 ? 1 : 0);
    if (n <= length || month == 12) break;
    n -= length;
  }
  return {static_cast<std::int32_t>(year), month, static_cast<std::int32_t>(n)};
}

void SurveyResults::StudyReady(const StudyTables& study, const StudyCalendar& calendar,
                               const RunAnswers& answers, std::int64_t num_occasions) {
  answers_ = answers;
  reference_year_ = calendar.reference_year;
  first_day_number_ = calendar.first_day_number;
  study_days_ = std::max<std::int64_t>(calendar.num_days, 0);
  operating_ = OperatingDays(study, study_days_);
  for (const Location& location : study.locations) {
    locations_.push_back(WithoutTrailingBlanks(location.name));
    periods_.push_back(location.periods);
  }
  for (std::int64_t k = 1; k <= num_occasions; ++k) {
    OccasionSpan span;
    span.first_day = 1 + (k - 1) * answers.occasion_days;
    span.last_day = std::min(span.first_day + answers.occasion_days - 1, study_days_);
    span.first_date = DateOfStudyDay(span.first_day);
    span.last_date = DateOfStudyDay(span.last_day);
    occasions_.push_back(span);
  }
  const auto sites = static_cast<std::int64_t>(locations_.size());
  effort_.assign(static_cast<std::size_t>(sites) * occasions_.size(), 0);
  for (std::int64_t i = 1; i <= sites; ++i) {
    for (std::int64_t k = 1; k <= num_occasions; ++k) {
      const OccasionSpan& span = occasions_[static_cast<std::size_t>(k - 1)];
      effort_[CountIndex(i, k)] = operating_.CountIn(i, span.first_day, span.last_day);
    }
  }
  for (const std::string& name : study.species) {
    SpeciesResults results;
    results.name = WithoutTrailingBlanks(name);
    results.counts.assign(effort_.size(), 0);
    species_.push_back(std::move(results));
  }
}

std::int64_t SurveyResults::OccasionOf(std::int64_t day) const {
  const std::int64_t length = answers_.occasion_days;
  if (length < 1 || day < 1 || day > study_days_) return 0;
  const std::int64_t occasion = (day - 1) / length + 1;
  return occasion <= static_cast<std::int64_t>(occasions_.size()) ? occasion : 0;
}

void SurveyResults::PictureTallied(std::size_t species, const TalliedPicture& picture) {
  SpeciesResults& results = species_.at(species - 1);
  ++results.pictures;
  if (picture.new_event) ++results.events;
  results.individuals += picture.added;
  const std::int64_t occasion = OccasionOf(picture.day);
  if (occasion > 0 && picture.location <= static_cast<std::int64_t>(locations_.size())) {
    results.counts[CountIndex(picture.location, occasion)] += picture.added;
  }
  if (!keep_day_pictures_) return;
  auto& days = results.day_pictures;
  if (!days.empty() && days.back().location == picture.location && days.back().day == picture.day) {
    ++days.back().pictures;
  } else {
    days.push_back({picture.location, picture.day, 1, picture.operating_day});
  }
}

void SurveyResults::SpeciesDone(std::size_t species, const SkippedPictures& skipped) {
  species_.at(species - 1).pictures_skipped = skipped.total();
}

Date SurveyResults::DateOfStudyDay(std::int64_t day) const {
  return DateOfDayNumber(reference_year_, day + first_day_number_ - 1);
}

std::int64_t SurveyResults::Effort(std::int64_t location, std::int64_t occasion) const {
  return effort_.at(CountIndex(location, occasion));
}

std::int64_t SurveyResults::OperatingDaysOf(std::int64_t location) const {
  return operating_.CountIn(location, 1, study_days_);
}

std::int64_t SurveyResults::TrapDays() const {
  std::int64_t total = 0;
  for (std::int64_t i = 1; i <= static_cast<std::int64_t>(locations_.size()); ++i) {
    total += OperatingDaysOf(i);
  }
  return total;
}

std::optional<std::int64_t> SurveyResults::Count(std::size_t species, std::int64_t location,
                                                 std::int64_t occasion) const {
  if (Effort(location, occasion) == 0) return std::nullopt;
  return species_.at(species - 1).counts.at(CountIndex(location, occasion));
}

std::int64_t SurveyResults::SitesDetected(std::size_t species) const {
  const SpeciesResults& results = species_.at(species - 1);
  std::int64_t sites = 0;
  const auto sites_total = static_cast<std::int64_t>(locations_.size());
  const auto occasions = static_cast<std::int64_t>(occasions_.size());
  for (std::int64_t i = 1; i <= sites_total; ++i) {
    bool seen = false;
    for (std::int64_t k = 1; k <= occasions && !seen; ++k) {
      seen = Effort(i, k) > 0 && results.counts[CountIndex(i, k)] > 0;
    }
    if (seen) ++sites;
  }
  return sites;
}

std::int64_t SurveyResults::SitesOperating() const {
  std::int64_t sites = 0;
  for (std::int64_t i = 1; i <= static_cast<std::int64_t>(locations_.size()); ++i) {
    if (OperatingDaysOf(i) > 0) ++sites;
  }
  return sites;
}

}  // namespace ot
