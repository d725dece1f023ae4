#include "run/tally.h"

#include <cstring>
#include <string>

#include "run/picture_record.h"
#include "textio/fixed_width.h"

namespace ot {

std::int64_t FindLocation(const SurveyDescription& survey, std::string_view name) {
  for (std::size_t i = 0; i < survey.locations.size(); ++i) {
    if (survey.locations[i].name == name) return static_cast<std::int64_t>(i);
  }
  return kNoLocation;
}

LocationIndex::LocationIndex(const SurveyDescription& survey) {
  for (std::size_t i = 0; i < survey.locations.size(); ++i) {
    rows_.try_emplace(survey.locations[i].name, static_cast<std::int64_t>(i));
  }
}

std::int64_t LocationIndex::Find(std::string_view name) const {
  auto it = rows_.find(name);
  return it == rows_.end() ? kNoLocation : it->second;
}

PicturePlacer::PicturePlacer(const SurveyDescription& survey, const SurveyCalendar& calendar,
                             const OperatingDays& operating, std::int64_t rows)
    : index_(survey), calendar_(calendar), operating_(operating), rows_(rows) {}

std::int64_t PicturePlacer::FindLocation(std::string_view name) {
  const bool full_width = name.size() == last_name_.size();
  if (full_width && has_last_ &&
      std::memcmp(name.data(), last_name_.data(), last_name_.size()) == 0) {
    return last_location_;
  }
  const std::int64_t location = index_.Find(name);
  if (full_width) {
    std::memcpy(last_name_.data(), name.data(), last_name_.size());
    last_location_ = location;
    has_last_ = true;
  }
  return location;
}

Placement PicturePlacer::Place(const PictureRecord& picture, PlacedPicture& placed) {
  const std::int64_t location = FindLocation(picture.location);
  if (location == kNoLocation) return Placement::kUnlistedLocation;
  const Date& date = picture.date;
  if (date.month < 1 || date.month > 12) return Placement::kMonthOutOfRange;
  if (date.year < calendar_.reference_year) return Placement::kOutsideSurvey;
  const MinuteStampResult when =
      MinuteStamp(calendar_.reference_year, date, picture.hour, picture.minute);
  const std::int64_t day = calendar_.SurveyDay(when.day_number);
  if (!calendar_.Contains(day) || location >= rows_) return Placement::kOutsideSurvey;
  placed.location = location;
  placed.day = day;
  placed.stamp = when.stamp;
  placed.operating_day = operating_.Contains(location, day);
  placed.possible = IsPossibleDateAndTime(date, picture.hour, picture.minute);
  return Placement::kTallied;
}

void SpeciesTally::Skip(Placement placement) {
  SkippedPictures& skipped = outcome_.skipped;
  switch (placement) {
    case Placement::kUnlistedLocation:
      ++skipped.unlisted_location;
      break;
    case Placement::kMonthOutOfRange:
      ++skipped.month_out_of_range;
      break;
    case Placement::kOutsideSurvey:
      ++skipped.outside_survey;
      break;
    case Placement::kTallied:
      break;
  }
}

TalliedPicture SpeciesTally::Book(const PlacedPicture& placed, std::int32_t count) {
  SuspectPictures& suspect = outcome_.suspect;
  if (!placed.operating_day) ++suspect.on_non_operating_day;
  if (placed.location == previous_location_ && placed.stamp < previous_stamp_) {
    ++suspect.earlier_than_previous;
  }
  if (!placed.possible) ++suspect.impossible_date_or_time;
  // An event counts its largest picture count: the first picture adds its
  // count, a later one what it raises the maximum by.
  const bool new_event = placed.location != previous_location_ ||
                         placed.stamp >= previous_stamp_ + independence_period_;
  std::int64_t added = 0;
  if (new_event) {
    added = count;
    event_maximum_ = count;
  } else if (count > event_maximum_) {
    added = count - event_maximum_;
    event_maximum_ = count;
  }
  previous_location_ = placed.location;
  previous_stamp_ = placed.stamp;
  return {placed.location, placed.day, added, new_event, placed.operating_day};
}

TallyOutcome TallyDetections(UnitTable& units, const SurveyDescription& survey,
                             const SurveyCalendar& calendar, std::int32_t independence_period,
                             const OperatingDays& operating, DayMatrix& days,
                             TallyListener listener) {
  PicturePlacer placer(survey, calendar, operating, days.rows());
  SpeciesTally tally(independence_period);
  PictureRecord r;
  const auto items = PictureReadItems(r);
  OpenTextFile(units, kUnitInputFiles, "SpeciesPics.txt", FileAccess::kRead);
  TextUnit& pictures = units[kUnitInputFiles];
  while (ReadFixedOrEnd(pictures, kPictureLayout, items)) {
    PlacedPicture placed;
    const Placement placement = placer.Place(r, placed);
    if (placement != Placement::kTallied) {
      tally.Skip(placement);
      continue;
    }
    const TalliedPicture picture = tally.Book(placed, r.count);
    if (picture.added != 0) AddToCell(days(picture.location, picture.day), picture.added);
    if (listener.observer != nullptr) {
      listener.observer->PictureTallied(listener.species, picture);
    }
  }
  CloseTextFile(units, kUnitInputFiles);
  RunShellCommand(units.folder(), "del SpeciesPics.txt");
  return tally.outcome();
}

}  // namespace ot
