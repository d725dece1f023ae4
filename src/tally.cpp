#include "tally.h"

#include <cstring>
#include <string>
#include <unordered_map>

#include "textio/fixed_width.h"

namespace ot {
namespace {

// location, species, year, month, day, hour, minute, second, count
constexpr Field kPictureFields[] = {TextField(kNameLength), SkipColumns(1),  TextField(kNameLength),
                                    SkipColumns(1),         IntegerField(4), SkipColumns(1),
                                    IntegerField(2),        SkipColumns(1),  IntegerField(2),
                                    SkipColumns(1),         IntegerField(2), SkipColumns(1),
                                    IntegerField(2),        SkipColumns(1),  IntegerField(2),
                                    SkipColumns(1),         IntegerField(2)};
constexpr FieldLayout kPictureLayout{kPictureFields};

struct PictureRecord {
  std::string_view location;  // read in place
  std::string_view species;
  Date date;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t count = 0;
};

// Rows by name, the first listing of a repeated name winning.
class LocationIndex {
 public:
  explicit LocationIndex(const StudyTables& study) {
    for (std::size_t i = 0; i < study.locations.size(); ++i) {
      rows_.try_emplace(study.locations[i].name, static_cast<std::int64_t>(i + 1));
    }
  }
  std::int64_t Find(std::string_view name) const {
    auto it = rows_.find(name);
    return it == rows_.end() ? 0 : it->second;
  }

 private:
  std::unordered_map<std::string_view, std::int64_t> rows_;  // views of the study's names
};

// The state carried from one tallied picture to the next.
struct TallyState {
  std::int64_t previous_location = 0;
  std::int64_t previous_stamp = 0;
  std::int64_t event_maximum = 0;
};

// Books one picture and returns what it added to its day's cell; sets
// `new_event` when it began an event.
std::int64_t TallyPicture(TallyState& state, std::int64_t location, std::int64_t stamp,
                          std::int64_t count, std::int64_t independence_period, std::int32_t& cell,
                          bool& new_event) {
  new_event =
      location != state.previous_location || stamp >= state.previous_stamp + independence_period;
  std::int64_t added = 0;
  if (new_event) {
    added = count;
    state.event_maximum = count;
  } else if (count > state.event_maximum) {
    added = count - state.event_maximum;
    state.event_maximum = count;
  }
  if (added != 0) AddToCell(cell, added);
  state.previous_location = location;
  state.previous_stamp = stamp;
  return added;
}

constexpr std::int32_t kDaysInMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

std::int64_t FindLocation(const StudyTables& study, std::string_view name) {
  for (std::size_t i = 0; i < study.locations.size(); ++i) {
    if (study.locations[i].name == name) return static_cast<std::int64_t>(i + 1);
  }
  return 0;
}

MinuteStampResult MinuteStamp(std::int32_t reference_year, const Date& date, std::int32_t hour,
                              std::int32_t minute) {
  const std::int64_t day_number = DayNumber(reference_year, date);
  return {day_number, (day_number * 24 + hour) * 60 + minute};
}

bool IsPossibleDateAndTime(const Date& date, std::int32_t hour, std::int32_t minute) {
  if (date.month < 1 || date.month > 12) return false;
  const std::int32_t month_days =
      kDaysInMonth[date.month] + (date.month == 2 && date.year % 4 == 0 ? 1 : 0);
  return date.day >= 1 && date.day <= month_days && hour >= 0 && hour <= 23 && minute >= 0 &&
         minute <= 59;
}

TallyOutcome TallyDetections(UnitTable& units, const StudyTables& study,
                             const StudyCalendar& calendar, std::int32_t independence_period,
                             const OperatingDays& operating, DayMatrix& days,
                             TallyListener listener) {
  const LocationIndex index(study);
  TallyOutcome outcome;
  SkippedPictures& skipped = outcome.skipped;
  SuspectPictures& suspect = outcome.suspect;
  TallyState state;
  PictureRecord r;
  const ReadItem items[] = {&r.location, &r.species, &r.date.year, &r.date.month, &r.date.day,
                            &r.hour,     &r.minute,  &r.second,    &r.count};
  OpenTextFile(units, kUnitInputFiles, "SpeciesPics.txt", FileAccess::kRead);
  TextUnit& pictures = units[kUnitInputFiles];
  while (ReadFixedOrEnd(pictures, kPictureLayout, items)) {
    const std::int64_t location = index.Find(r.location);
    if (location == 0) {
      ++skipped.unlisted_location;
      continue;
    }
    if (r.date.month < 1 || r.date.month > 12) {
      ++skipped.month_out_of_range;
      continue;
    }
    if (r.date.year < calendar.BeginYear) {
      ++skipped.outside_study;
      continue;
    }
    const MinuteStampResult when = MinuteStamp(calendar.BeginYear, r.date, r.hour, r.minute);
    const std::int64_t day = when.day_number + 1 - calendar.BeginDay;
    if (day < 1 || day > calendar.NumDays || location > days.rows()) {
      ++skipped.outside_study;
      continue;
    }
    const bool operating_day = operating.Contains(location, day);
    if (!operating_day) ++suspect.on_non_operating_day;
    if (location == state.previous_location && when.stamp < state.previous_stamp) {
      ++suspect.earlier_than_previous;
    }
    if (!IsPossibleDateAndTime(r.date, r.hour, r.minute)) ++suspect.impossible_date_or_time;
    bool new_event = false;
    const std::int64_t added = TallyPicture(state, location, when.stamp, r.count,
                                            independence_period, days(location, day), new_event);
    if (listener.observer != nullptr) {
      listener.observer->PictureTallied(listener.species,
                                        {location, day, added, new_event, operating_day});
    }
  }
  CloseTextFile(units, kUnitInputFiles);
  RunShellCommand(units.folder(), "del SpeciesPics.txt");
  return outcome;
}

}  // namespace ot
