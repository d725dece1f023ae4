#include "checks/survey_check.h"

#include <cstring>
#include <new>
#include <string>

#include "base/exit_status.h"
#include "base/strings.h"
#include "checks/input_checks.h"
#include "checks/input_listing.h"
#include "checks/name_checks.h"
#include "checks/picture_checks.h"
#include "checks/picture_log.h"
#include "checks/problem_list.h"
#include "checks/read_failure.h"
#include "checks/read_only_folder.h"
#include "checks/survey_days.h"
#include "checks/survey_text.h"

namespace ot::checks {
namespace {

// The whole of Input.txt: the listing reads some lines twice.
std::string ReadInputText(Folder& folder) {
  int error = 0;
  const std::unique_ptr<ByteSource> source = folder.OpenForReading("Input.txt", error);
  if (source == nullptr) CannotCheck(SurveyFile::kInput, 0, std::strerror(error));
  std::string text;
  try {
    char buffer[1 << 16];
    for (;;) {
      const long got = source->Read(buffer, sizeof buffer, error);
      if (got < 0) CannotCheck(SurveyFile::kInput, 0, std::strerror(error));
      if (got == 0) return text;
      text.append(buffer, static_cast<std::size_t>(got));
    }
  } catch (const std::bad_alloc&) {
    CannotCheck(SurveyFile::kInput, 0, "too large to hold in memory");
  }
}

}  // namespace

int CheckSurvey(Folder& folder, std::int32_t this_year, std::ostream& out) {
  ReadOnlyFolder survey(folder);
  const InputListing listing = ReadInputListing(ReadInputText(survey));
  PictureLog log(survey);
  const SurveyDays days(listing.survey);
  ProblemList problems;
  CheckInput(listing, days, this_year, problems);
  PictureChecks pictures(listing, days, this_year, problems);
  PictureLine line;
  while (log.Next(line)) pictures.Check(line);
  CheckNames(listing, pictures.counts(), problems);

  if (problems.total() == 0) {
    out << "No problems found: Input.txt lists "
        << Pluralize(static_cast<std::int64_t>(listing.survey.locations.size()), "location",
                     "locations")
        << " and " << listing.survey.species.size() << " species, AllPictures.txt holds "
        << Pluralize(pictures.records(), "record", "records") << ".\n";
    return kExitOk;
  }
  problems.Print(out);
  out << Pluralize(problems.total(), "problem", "problems") << " of "
      << Pluralize(static_cast<std::int64_t>(problems.kinds()), "kind", "kinds") << " found.\n";
  return kExitProblemsFound;
}

}  // namespace ot::checks
