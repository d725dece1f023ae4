#include "checks/problem_list.h"

#include <algorithm>

namespace ot::checks {
namespace {

std::string_view Title(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kRefusedDate:
      return "Years or months the run refuses (it stops at the first)";
    case ProblemKind::kUnreadableNumber:
      return "Records whose numbers cannot be read";
    case ProblemKind::kNotInColumns:
      return "Records not in the fixed columns";
    case ProblemKind::kPeriodBackwards:
      return "Periods that end before they begin (no operating day is counted in them)";
    case ProblemKind::kPeriodOverlap:
      return "Overlapping periods of one location";
    case ProblemKind::kImpossibleDate:
      return "Dates or times that do not exist";
    case ProblemKind::kImplausibleYear:
      return "Years before 1900 or after next year (typing mistakes?)";
    case ProblemKind::kDuplicateLocation:
      return "Locations listed twice (all their pictures go to the first one's row)";
    case ProblemKind::kSpeciesOverlap:
      return "Species names that take other species' pictures too";
    case ProblemKind::kSpeciesWithoutPicture:
      return "Species with no picture (their tables hold only zeros)";
    case ProblemKind::kLocationWithoutPicture:
      return "Locations in Input.txt with no picture";
    case ProblemKind::kLocationNotListed:
      return "Locations in AllPictures.txt not in Input.txt (the run leaves their pictures out)";
    case ProblemKind::kMonthOutOfRange:
      return "Pictures with a month outside 1..12 (the run leaves them out)";
    case ProblemKind::kOutsideSurvey:
      return "Pictures outside the survey's days (the run leaves them out)";
    case ProblemKind::kNotOperating:
      return "Pictures on days their camera was not operating (the run counts them)";
    case ProblemKind::kOutOfOrder:
      return "Pictures earlier than the picture before them at the same location (sort "
             "AllPictures.txt by location and time)";
  }
  return "?";
}

}  // namespace

std::string_view FileName(SurveyFile file) {
  return file == SurveyFile::kInput ? "Input.txt" : "AllPictures.txt";
}

void ProblemList::Keep(Group& group, Problem problem) {
  auto at = std::upper_bound(group.shown.begin(), group.shown.end(), problem.place,
                             [](const Place& place, const Problem& p) { return place < p.place; });
  group.shown.insert(at, std::move(problem));
  if (group.shown.size() > kShownPerKind) group.shown.pop_back();
}

std::int64_t ProblemList::total() const {
  std::int64_t total = 0;
  for (const Group& group : groups_) total += group.count;
  return total;
}

std::size_t ProblemList::kinds() const {
  return static_cast<std::size_t>(std::count_if(
      groups_.begin(), groups_.end(), [](const Group& group) { return group.count > 0; }));
}

void ProblemList::Print(std::ostream& out) const {
  for (std::size_t k = 0; k < kProblemKinds; ++k) {
    const Group& group = groups_[k];
    if (group.count == 0) continue;
    out << Title(static_cast<ProblemKind>(k)) << ": " << group.count << "\n";
    for (const Problem& problem : group.shown) {
      out << FileName(problem.place.file) << ":" << problem.place.line << ": " << problem.text
          << "\n";
    }
    const auto hidden = group.count - static_cast<std::int64_t>(group.shown.size());
    if (hidden > 0) out << "... and " << hidden << " more\n";
    out << "\n";
  }
}

}  // namespace ot::checks
