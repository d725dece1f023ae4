#include "results/survey_results.h"

#include <algorithm>

#include "base/strings.h"

namespace ot {
namespace {

std::string WithoutTrailingBlanks(std::string_view name) {
  return std::string(StripTrailingSpaces(name));
}

}  // namespace

void SurveyResults::SurveyReady(const SurveyDescription& survey, const SurveyCalendar& calendar,
                                const RunAnswers& answers, std::int64_t num_occasions) {
  answers_ = answers;
  calendar_ = calendar;
  survey_days_ = std::max<std::int64_t>(calendar.num_days, 0);
  operating_ = OperatingDays(survey, survey_days_);
  for (const Location& location : survey.locations) {
    locations_.push_back(WithoutTrailingBlanks(location.name));
    periods_.push_back(location.periods);
  }
  for (std::int64_t k = 0; k < num_occasions; ++k) {
    OccasionSpan span;
    const DayRange days = OccasionDays(k, answers.occasion_days, survey_days_);
    span.first_day = days.first;
    span.last_day = days.last;
    span.first_date = DateOfSurveyDay(span.first_day);
    span.last_date = DateOfSurveyDay(span.last_day);
    occasions_.push_back(span);
  }
  const auto sites = static_cast<std::int64_t>(locations_.size());
  effort_.assign(static_cast<std::size_t>(sites) * occasions_.size(), 0);
  for (std::int64_t i = 0; i < sites; ++i) {
    for (std::int64_t k = 0; k < num_occasions; ++k) {
      const OccasionSpan& span = occasions_[static_cast<std::size_t>(k)];
      effort_[CountIndex(i, k)] = operating_.CountIn(i, span.first_day, span.last_day);
    }
  }
  for (const std::string& name : survey.species) {
    SpeciesResults results;
    results.name = WithoutTrailingBlanks(name);
    results.counts.assign(effort_.size(), 0);
    species_.push_back(std::move(results));
  }
}

std::int64_t SurveyResults::OccasionOf(std::int64_t day) const {
  if (day < 0 || day >= survey_days_) return kNoOccasion;
  const std::int64_t occasion = OccasionOfDay(day, answers_.occasion_days);
  return occasion < static_cast<std::int64_t>(occasions_.size()) ? occasion : kNoOccasion;
}

void SurveyResults::PictureTallied(std::size_t species, const TalliedPicture& picture) {
  SpeciesResults& results = species_.at(species);
  ++results.pictures;
  if (picture.new_event) ++results.events;
  results.individuals += picture.added;
  const std::int64_t occasion = OccasionOf(picture.day);
  if (occasion != kNoOccasion && picture.location < static_cast<std::int64_t>(locations_.size())) {
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
  species_.at(species).pictures_skipped = skipped.total();
}

std::int64_t SurveyResults::Effort(std::int64_t location, std::int64_t occasion) const {
  return effort_.at(CountIndex(location, occasion));
}

std::int64_t SurveyResults::OperatingDaysOf(std::int64_t location) const {
  return operating_.CountIn(location, 0, survey_days_ - 1);
}

std::int64_t SurveyResults::TrapDays() const {
  std::int64_t total = 0;
  for (std::int64_t i = 0; i < static_cast<std::int64_t>(locations_.size()); ++i) {
    total += OperatingDaysOf(i);
  }
  return total;
}

std::optional<std::int64_t> SurveyResults::Count(std::size_t species, std::int64_t location,
                                                 std::int64_t occasion) const {
  if (Effort(location, occasion) == 0) return std::nullopt;
  return species_.at(species).counts.at(CountIndex(location, occasion));
}

std::int64_t SurveyResults::SitesDetected(std::size_t species) const {
  const SpeciesResults& results = species_.at(species);
  std::int64_t sites = 0;
  const auto sites_total = static_cast<std::int64_t>(locations_.size());
  const auto occasions = static_cast<std::int64_t>(occasions_.size());
  for (std::int64_t i = 0; i < sites_total; ++i) {
    bool seen = false;
    for (std::int64_t k = 0; k < occasions && !seen; ++k) {
      seen = Effort(i, k) > 0 && results.counts[CountIndex(i, k)] > 0;
    }
    if (seen) ++sites;
  }
  return sites;
}

std::int64_t SurveyResults::SitesOperating() const {
  std::int64_t sites = 0;
  for (std::int64_t i = 0; i < static_cast<std::int64_t>(locations_.size()); ++i) {
    if (OperatingDaysOf(i) > 0) ++sites;
  }
  return sites;
}

}  // namespace ot
