// A batch of species tallied together in one scan of the picture log.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "run/matrix.h"
#include "run/picture_record.h"
#include "run/run_observer.h"
#include "run/survey_input.h"
#include "run/tally.h"
#include "textio/text_unit.h"

namespace ot {

// The shape of every species' table in a batch: its rows (locations) and
// occasions of `occasion_days` days.
struct OccasionShape {
  std::int64_t rows = 0;
  std::int64_t occasions = 0;
  std::int32_t occasion_days = 0;
  // The cells a species keeps: none when no day lies in any occasion.
  std::int64_t cells() const { return occasion_days > 0 ? rows * occasions : 0; }
};

// What a batch keeps of one of its species.
struct BatchSpecies {
  explicit BatchSpecies(std::int32_t independence_period) : tally(independence_period) {}
  SpeciesTally tally;
  // What its pictures added, per occasion (row) and location (column), so
  // that the cells of one location, whose pictures come together, lie
  // together; empty after the scan when nothing was added.
  Matrix added;
  // The sum of the magnitudes of its additions; while it stays at most
  // kExactAdditions, `added` gives the occasion matrix exactly.
  std::int64_t added_magnitude = 0;
  bool exact = true;
  // Its tally met a record whose numbers cannot be read and stopped there.
  bool unreadable = false;
  std::int64_t selected = 0;  // records it selected
  std::array<char, kPictureRecordLength> first_record{};
};

// Species first .. first + count - 1 (counted from 0), each with its own
// tally and table, filled by one scan of the log.
class SpeciesBatch {
 public:
  // The largest sum of addition magnitudes for which no cell of a day matrix
  // can reach the 32-bit limits (each starts at -1 or 0).
  static constexpr std::int64_t kExactAdditions = std::numeric_limits<std::int32_t>::max() - 1;

  // The memory one species of a batch takes.
  static std::uint64_t BytesPerSpecies(const OccasionShape& shape);

  // A batch of `count` species (at least 1) beginning with `first`, whose
  // tables each take at most `byte_limit` bytes; none when the memory for
  // their tables cannot be had. `names` (the survey's species) must outlive
  // the batch. `exact_additions` may be lowered for tests.
  static std::optional<SpeciesBatch> Create(std::span<const std::string> names, std::size_t first,
                                            std::size_t count, const OccasionShape& shape,
                                            std::int32_t independence_period,
                                            std::uint64_t byte_limit,
                                            std::int64_t exact_additions = kExactAdditions);

  std::size_t first() const { return first_; }
  std::size_t last() const { return first_ + species_.size() - 1; }
  bool Holds(std::size_t species) const {
    return species >= first_ && species - first_ < species_.size();
  }
  // Species `species` (counted from 0 in the survey, within the batch).
  const BatchSpecies& at(std::size_t species) const { return species_.at(species - first_); }

  // Reads `pictures` (the log) to its end and tallies each record into every
  // species that selects it, in file order, telling `observer` (may be null)
  // of each tallied picture. A record is taken apart only when some species
  // selects it; selected records out of the fixed columns are noted in
  // `misaligned`. A record whose numbers cannot be read stops the tallies of
  // the first species selecting it and of every later species of the batch.
  void Scan(TextUnit& pictures, PicturePlacer& placer, MisalignedRecords& misaligned,
            RunObserver* observer);

 private:
  SpeciesBatch(std::span<const std::string> names, std::size_t first, const OccasionShape& shape,
               std::int64_t exact_additions);
  // Tallies one selected record into the species at `positions`.
  void TallyRecord(std::string_view record, std::span<const std::uint32_t> positions,
                   PicturePlacer& placer, RunObserver* observer);
  void Add(BatchSpecies& species, const TalliedPicture& picture) const;

  std::span<const std::string> names_;
  std::size_t first_;
  OccasionShape shape_;
  std::int64_t exact_additions_;
  std::vector<BatchSpecies> species_;
  // Species at positions from here on are no longer tallied.
  std::size_t tallied_ = 0;
};

}  // namespace ot
