// The problems `check` finds, grouped by kind, and how they are shown to a
// person: a heading with the kind's count, then one line per problem as
// "FILE:LINE: what is wrong", at most 20 of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ot::checks {

// The kinds in the order they are shown: what stops the run first, then
// records the run cannot place, then what it counts differently than meant.
enum class ProblemKind {
  kRefusedDate,
  kUnreadableNumber,
  kNotInColumns,
  kPeriodBackwards,
  kPeriodOverlap,
  kImpossibleDate,
  kImplausibleYear,
  kDuplicateLocation,
  kSpeciesOverlap,
  kSpeciesWithoutPicture,
  kLocationWithoutPicture,
  kLocationNotListed,
  kMonthOutOfRange,
  kOutsideSurvey,
  kNotOperating,
  kOutOfOrder,
};
inline constexpr std::size_t kProblemKinds = static_cast<std::size_t>(ProblemKind::kOutOfOrder) + 1;

enum class SurveyFile { kInput, kPictures };

// "Input.txt" or "AllPictures.txt".
std::string_view FileName(SurveyFile file);

class ProblemList {
 public:
  static constexpr std::size_t kShownPerKind = 20;

  // Counts a problem at line `line` of `file`. `describe()` gives its text
  // and is only called when the problem is among the first kShownPerKind of
  // its kind in file and line order, so that a log with a million faulty
  // records costs no million texts.
  template <typename Describe>
  void Add(ProblemKind kind, SurveyFile file, std::int64_t line, Describe&& describe) {
    Group& group = groups_[static_cast<std::size_t>(kind)];
    ++group.count;
    const Place place{file, line};
    if (group.shown.size() == kShownPerKind && !(place < group.shown.back().place)) return;
    Keep(group, {place, std::forward<Describe>(describe)()});
  }

  // Problems of every kind, and the kinds with at least one.
  std::int64_t total() const;
  std::size_t kinds() const;

  // Writes every kind that has problems, in kind order: "TITLE: COUNT", the
  // shown problems in file and line order (the order they were added among
  // equal places), "... and N more" for the rest, then an empty line.
  void Print(std::ostream& out) const;

 private:
  struct Place {
    SurveyFile file;
    std::int64_t line;
    bool operator<(const Place& other) const {
      return std::pair(file, line) < std::pair(other.file, other.line);
    }
  };
  struct Problem {
    Place place;
    std::string text;
  };
  struct Group {
    std::int64_t count = 0;
    std::vector<Problem> shown;  // sorted by place, at most kShownPerKind
  };
  static void Keep(Group& group, Problem problem);

  std::array<Group, kProblemKinds> groups_;
};

}  // namespace ot::checks
