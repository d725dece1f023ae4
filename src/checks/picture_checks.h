// The checks of AllPictures.txt record by record, against Input.txt.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "checks/input_listing.h"
#include "checks/log_counts.h"
#include "checks/picture_log.h"
#include "checks/problem_list.h"
#include "checks/survey_days.h"
#include "run/tally.h"

namespace ot::checks {

class PictureChecks {
 public:
  // Keeps references to `days` and `problems`.
  PictureChecks(const InputListing& listing, const SurveyDays& days, std::int32_t this_year,
                ProblemList& problems);

  // Checks one line of the log. A line whose first 74 columns hold no digit
  // is a heading or remark and is passed over. Of the others:
  // - a record out of the fixed columns, or one whose numbers cannot be
  //   read, is reported as such and not looked at further;
  // - every record's location and species are counted, and its year must
  //   lie in 1900..this year + 1;
  // - a record a listed species selects is then checked as the tally
  //   takes it: its location must be listed and its month lie in 1..12
  //   (else the run leaves it out), its day within the survey (likewise);
  //   then its camera must have operated that day, its date and time must
  //   exist, and for each species that selects it, it must not be earlier
  //   than that species' previous picture at the same location.
  void Check(const PictureLine& line);

  // Records looked at (lines with a digit in their first 74 columns).
  std::int64_t records() const { return records_; }
  const LogCounts& counts() const { return counts_; }

 private:
  // Puts the species that select the record into `selectors_`.
  void Select(std::string_view species_field);
  // Whether the record is in the fixed columns and its numbers read;
  // reports it when not. Selects its species.
  bool ReadsAsRecord(const PictureLine& line);
  // Counts the record's location (kNoLocation: not listed) and species.
  void Count(const PictureLine& line, std::int64_t location);
  // The checks of a record the tally takes, at listed location `location`.
  void CheckTallied(const PictureLine& line, std::int64_t location);

  const SurveyDays& days_;
  std::int32_t this_year_;
  ProblemList& problems_;
  LocationIndex locations_;                      // first listing of each name
  std::vector<std::string_view> species_names_;  // without trailing blanks
  std::vector<std::size_t> selectors_;           // of the current record
  // Each species' previous tallied picture, as the tally keeps it.
  struct Previous {
    std::int64_t location = kNoLocation;  // none before the first picture
    std::int64_t stamp = 0;
    std::int64_t line = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    Date date;
  };
  std::vector<Previous> previous_;
  LogCounts counts_;
  std::int64_t records_ = 0;
};

}  // namespace ot::checks
