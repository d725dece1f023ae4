#include "run/species_batch.h"

#include <algorithm>
#include <new>

#include "run/calendar.h"
#include "run/species_selection.h"

namespace ot {

std::uint64_t SpeciesBatch::BytesPerSpecies(const OccasionShape& shape) {
  return sizeof(BatchSpecies) + static_cast<std::uint64_t>(shape.cells()) * sizeof(std::int32_t);
}

SpeciesBatch::SpeciesBatch(std::span<const std::string> names, std::size_t first,
                           const OccasionShape& shape, std::int64_t exact_additions)
    : names_(names), first_(first), shape_(shape), exact_additions_(exact_additions) {}

std::optional<SpeciesBatch> SpeciesBatch::Create(std::span<const std::string> names,
                                                 std::size_t first, std::size_t count,
                                                 const OccasionShape& shape,
                                                 std::int32_t independence_period,
                                                 std::uint64_t byte_limit,
                                                 std::int64_t exact_additions) {
  SpeciesBatch batch(names, first, shape, exact_additions);
  try {
    batch.species_.reserve(count);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const std::int64_t occasions = shape.cells() > 0 ? shape.occasions : 0;
  for (std::size_t j = 0; j < count; ++j) {
    std::optional<Matrix> added = Matrix::TryCreate(occasions, shape.rows, byte_limit);
    if (!added) return std::nullopt;
    batch.species_.emplace_back(independence_period);
    batch.species_.back().added = std::move(*added);
  }
  batch.tallied_ = count;
  return batch;
}

void SpeciesBatch::Scan(TextUnit& pictures, PicturePlacer& placer, MisalignedRecords& misaligned,
                        RunObserver* observer) {
  SpeciesSelection selection(names_.subspan(first_, species_.size()));
  std::array<char, kPictureRecordLength> padding;
  std::string_view line;
  while (tallied_ > 0 && pictures.NextLine(IoOperation::kFixedRead, line)) {
    const std::string_view record = RecordOfLine(line, padding);
    const std::span<const std::uint32_t> positions = selection.Select(SpeciesField(record));
    if (positions.empty() || positions.front() >= tallied_) continue;
    if (MisalignedRecords::IsMisaligned(record)) misaligned.Note(pictures.lines());
    TallyRecord(record, positions, placer, observer);
  }
  misaligned.total_lines = pictures.lines();
  // A table that stayed all 0 is given back (an empty one stands for it).
  for (BatchSpecies& species : species_) {
    if (species.added_magnitude == 0) species.added = Matrix();
  }
}

void SpeciesBatch::TallyRecord(std::string_view record, std::span<const std::uint32_t> positions,
                               PicturePlacer& placer, RunObserver* observer) {
  for (std::uint32_t j : positions) {
    if (j >= tallied_) break;
    BatchSpecies& species = species_[j];
    if (species.selected++ == 0) {
      std::copy(record.begin(), record.end(), species.first_record.begin());
    }
  }
  PictureRecord picture;
  if (!ParsePictureRecord(record, picture)) {
    // The first species to meet it fails at its turn; the later ones are
    // never reached.
    species_[positions.front()].unreadable = true;
    tallied_ = positions.front();
    return;
  }
  PlacedPicture placed;
  const Placement placement = placer.Place(picture, placed);
  for (std::uint32_t j : positions) {
    if (j >= tallied_) break;
    BatchSpecies& species = species_[j];
    if (placement != Placement::kTallied) {
      species.tally.Skip(placement);
      continue;
    }
    const TalliedPicture tallied = species.tally.Book(placed, picture.count);
    Add(species, tallied);
    if (observer != nullptr) observer->PictureTallied(first_ + j, tallied);
  }
}

void SpeciesBatch::Add(BatchSpecies& species, const TalliedPicture& picture) const {
  if (picture.added == 0 || !species.exact) return;
  species.added_magnitude += picture.added < 0 ? -picture.added : picture.added;
  if (species.added_magnitude > exact_additions_) {
    species.exact = false;  // the species is tallied again on its own at its turn
    return;
  }
  const std::int64_t occasion = OccasionOfDay(picture.day, shape_.occasion_days);
  if (occasion == kNoOccasion) return;
  std::int32_t& cell = species.added(occasion, picture.location);
  cell = static_cast<std::int32_t>(cell + picture.added);
}

}  // namespace ot
