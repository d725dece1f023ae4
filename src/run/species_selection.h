// Which species of a batch select a picture record.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "run/survey_input.h"

namespace ot {

// A species selects every record whose species field begins with its name
// without the name's trailing blanks (an all-blank name selects every
// record). A log holds few distinct species fields, so the answer for each
// is remembered, up to kRememberedFields fields and kRememberedPositions
// positions in all; others are worked out again each time.
class SpeciesSelection {
 public:
  static constexpr std::size_t kRememberedFields = 1 << 14;
  static constexpr std::size_t kRememberedPositions = 1 << 22;

  // `names`: the batch's species names in turn order; they must outlive the
  // selection.
  explicit SpeciesSelection(std::span<const std::string> names);

  // The positions in `names` of the species that select a record with the
  // species field `field` (its 25 columns), in ascending order; valid until
  // the next call.
  std::span<const std::uint32_t> Select(std::string_view field);

 private:
  // Appends the positions selecting `field` to `out`, in ascending order.
  void FindSelecting(std::string_view field, std::vector<std::uint32_t>& out) const;

  struct Span {
    std::uint32_t first;
    std::uint32_t count;
  };
  // Positions by trimmed name; keys are views of the names.
  std::unordered_map<std::string_view, std::vector<std::uint32_t>> by_name_;
  std::vector<std::size_t> name_lengths_;  // the distinct trimmed lengths, ascending
  // Answers by field; keys are views into fields_, which never reallocates.
  std::unordered_map<std::string_view, Span> remembered_;
  std::string fields_;
  std::vector<std::uint32_t> positions_;  // every remembered answer, one after another
  std::vector<std::uint32_t> fresh_;      // the answer being worked out
  // The field asked about last, as a record's field mostly repeats the one
  // before it.
  std::array<char, kNameLength> last_field_{};
  std::span<const std::uint32_t> last_answer_;
  bool has_last_ = false;
};

}  // namespace ot
