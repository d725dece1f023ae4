#include "checks/picture_checks.h"

#include <algorithm>
#include <string>

#include "base/strings.h"
#include "checks/column_faults.h"
#include "checks/input_checks.h"
#include "checks/survey_text.h"
#include "run/calendar.h"
#include "run/survey_input.h"

namespace ot::checks {
namespace {

// "Red fox at Ridge top on 2024-01-03 10:15"
std::string Picture(const PictureLine& line) {
  return EscapeControlBytes(StripTrailingSpaces(line.species)) + " at " +
         EscapeControlBytes(StripTrailingSpaces(line.location)) + " on " +
         FormatIsoDate(line.date) + " " + TimeText(line.hour, line.minute);
}

std::string UnreadableNumber(const PictureLine& line, bool selected) {
  const RecordField& field = FieldOf(*line.unreadable);
  const std::size_t first = field.offset();
  const std::string_view text = first < line.text.size()
                                    ? line.text.substr(first, static_cast<std::size_t>(field.width))
                                    : std::string_view();
  return "the " + std::string(field.name) + " " + Quote(EscapeControlBytes(text)) + " (columns " +
         std::to_string(field.first_column) + "-" + std::to_string(field.last_column()) +
         ") is not a number" + (selected ? ": the run stops here" : "");
}

}  // namespace

PictureChecks::PictureChecks(const InputListing& listing, const SurveyDays& days,
                             std::int32_t this_year, ProblemList& problems)
    : days_(days), this_year_(this_year), problems_(problems), locations_(listing.survey) {
  const SurveyDescription& survey = listing.survey;
  for (const std::string& name : survey.species)
    species_names_.push_back(StripTrailingSpaces(name));
  previous_.resize(survey.species.size());
  counts_.location_pictures.resize(survey.locations.size());
  counts_.species_pictures.resize(survey.species.size());
  counts_.species_shared.resize(survey.species.size());
}

void PictureChecks::Select(std::string_view species_field) {
  selectors_.clear();
  for (std::size_t s = 0; s < species_names_.size(); ++s) {
    if (species_field.starts_with(species_names_[s])) selectors_.push_back(s);
  }
}

void PictureChecks::Check(const PictureLine& line) {
  const std::string_view head = line.text.substr(0, kPictureRecordLength);
  if (head.find_first_of("0123456789") == std::string_view::npos) return;
  ++records_;
  if (!ReadsAsRecord(line)) return;
  const std::int64_t location = locations_.Find(line.location);
  Count(line, location);
  const std::int32_t year = line.date.year;
  if (year < kFirstPlausibleYear || year > this_year_ + 1) {
    problems_.Add(ProblemKind::kImplausibleYear, SurveyFile::kPictures, line.number, [&] {
      return Picture(line) + (year < kFirstPlausibleYear
                                  ? ": the year is before 1900"
                                  : ": the year is after " + std::to_string(this_year_ + 1));
    });
  }
  if (!selectors_.empty() && location != kNoLocation) CheckTallied(line, location);
}

bool PictureChecks::ReadsAsRecord(const PictureLine& line) {
  const std::int64_t number = line.number;
  if (MisalignedRecords::IsMisaligned(line.text)) {
    problems_.Add(ProblemKind::kNotInColumns, SurveyFile::kPictures, number,
                  [&] { return ColumnFault(line.text, number); });
    return false;
  }
  Select(line.species);
  if (!line.unreadable) return true;
  problems_.Add(ProblemKind::kUnreadableNumber, SurveyFile::kPictures, number,
                [&] { return UnreadableNumber(line, !selectors_.empty()); });
  return false;
}

void PictureChecks::Count(const PictureLine& line, std::int64_t location) {
  if (location != kNoLocation) {
    ++counts_.location_pictures[static_cast<std::size_t>(location)];
  } else {
    counts_.unlisted_locations.Count(StripTrailingSpaces(line.location), line.number);
  }
  counts_.log_species.Count(StripTrailingSpaces(line.species), line.number);
  std::size_t longest = 0;
  for (std::size_t s : selectors_) {
    ++counts_.species_pictures[s];
    longest = std::max(longest, species_names_[s].size());
  }
  for (std::size_t s : selectors_) {
    if (species_names_[s].size() < longest) ++counts_.species_shared[s];
  }
}

void PictureChecks::CheckTallied(const PictureLine& line, std::int64_t location) {
  const std::int64_t number = line.number;
  const Date& date = line.date;
  if (date.month < 1 || date.month > 12) {
    problems_.Add(ProblemKind::kMonthOutOfRange, SurveyFile::kPictures, number, [&] {
      return Picture(line) + ": month " + std::to_string(date.month) + " is outside 1..12";
    });
    return;
  }
  const std::optional<std::int64_t> day = days_.SurveyDay(date);
  if (!day) {
    problems_.Add(ProblemKind::kOutsideSurvey, SurveyFile::kPictures, number, [&] {
      return Picture(line) +
             (days_.BeforeSurvey(date)
                  ? ": before the survey's first day, " + FormatIsoDate(days_.first_date())
                  : ": after the survey's last day, " + FormatIsoDate(days_.last_date()));
    });
    return;
  }
  if (!days_.Operating(location, *day)) {
    problems_.Add(ProblemKind::kNotOperating, SurveyFile::kPictures, number,
                  [&] { return Picture(line) + ": its camera was not operating that day"; });
  }
  if (!IsPossibleDateAndTime(date, line.hour, line.minute)) {
    problems_.Add(ProblemKind::kImpossibleDate, SurveyFile::kPictures, number,
                  [&] { return Picture(line) + ": no such date or time"; });
  }
  const std::int64_t stamp = days_.Stamp(date, line.hour, line.minute);
  bool reported = false;
  for (std::size_t s : selectors_) {
    Previous& previous = previous_[s];
    if (!reported && previous.location == location && stamp < previous.stamp) {
      reported = true;
      problems_.Add(ProblemKind::kOutOfOrder, SurveyFile::kPictures, number, [&] {
        return Picture(line) + ": earlier than line " + std::to_string(previous.line) + " (" +
               FormatIsoDate(previous.date) + " " + TimeText(previous.hour, previous.minute) + ")";
      });
    }
    previous = {location, stamp, number, line.hour, line.minute, date};
  }
}

}  // namespace ot::checks
