#include "run/species_turns.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "textio/fixed_width.h"

namespace ot {

SpeciesTurns::SpeciesTurns(UnitTable& units, const SurveyDescription& survey,
                           const SurveyCalendar& calendar, const OperatingDays& operating,
                           DayMatrix& days, MisalignedRecords& misaligned,
                           const TurnSettings& settings)
    : units_(units),
      survey_(survey),
      calendar_(calendar),
      operating_(operating),
      days_(days),
      misaligned_(misaligned),
      settings_(settings) {}

OccasionShape SpeciesTurns::Shape() const {
  return {static_cast<std::int64_t>(survey_.locations.size()), settings_.num_occasions,
          settings_.occasion_days};
}

TallyOutcome SpeciesTurns::Tally(std::size_t s) {
  if (!batch_ || !batch_->Holds(s)) StartBatch(s);
  if (!batch_) return TallyOnItsOwn(s, {settings_.observer, s});
  if (s == batch_->first()) {
    ScanForBatch();
  } else {
    CreateSpeciesPics(units_);
  }
  const BatchSpecies& species = batch_->at(s);
  // A disk too full for the species' first record fails this turn, as the
  // copy of all its records did.
  if (species.selected > 0) {
    WriteTextLine(units_[kUnitSpeciesPicsOut],
                  {species.first_record.data(), species.first_record.size()});
  }
  CloseTextFile(units_, kUnitSpeciesPicsOut);
  if (species.unreadable) {
    // Copying its records and reading them back fails at the record.
    TallyOnItsOwn(s, {});
    throw std::logic_error("a picture record unreadable in the scan was read on its own");
  }
  // The observer was told of its pictures in the scan.
  if (!species.exact) return TallyOnItsOwn(s, {});
  RunShellCommand(units_.folder(), "del SpeciesPics.txt");
  return species.tally.outcome();
}

void SpeciesTurns::FillOccasions(std::size_t s, OccasionMatrix& occasions) const {
  if (batch_ && batch_->Holds(s) && batch_->at(s).exact) {
    OccasionsFromSums(settings_.occasion_days, batch_->at(s).added, idle_, occasions);
  } else {
    OccasionsFromDays(settings_.occasion_days, days_, occasions);
  }
}

TallyOutcome SpeciesTurns::TallyOnItsOwn(std::size_t s, TallyListener listener) {
  MarkOperatingDays(survey_, days_);
  ExtractSpeciesPics(units_, survey_.species[s], misaligned_);
  return TallyDetections(units_, survey_, calendar_, settings_.independence_period, operating_,
                         days_, listener);
}

// Opens the files as ExtractSpeciesPics does, then scans the log.
void SpeciesTurns::ScanForBatch() {
  OpenPictureLog(units_);
  CreateSpeciesPics(units_);
  batch_->Scan(units_[kUnitInputFiles], *placer_, misaligned_, settings_.observer);
  CloseTextFile(units_, kUnitInputFiles);
}

// Makes the batch that begins with species `s` as large as the scan memory
// allows, halving it while it cannot be had; none when not even one
// species' table can be had.
void SpeciesTurns::StartBatch(std::size_t s) {
  batch_.reset();
  if (settings_.scan_memory == 0 || !PrepareBatches()) return;
  const std::uint64_t per_species = SpeciesBatch::BytesPerSpecies(Shape());
  const std::size_t remaining = survey_.species.size() - s;
  auto count = static_cast<std::size_t>(
      std::clamp<std::uint64_t>(settings_.scan_memory / per_species, 1, remaining));
  for (;; count /= 2) {
    batch_ = SpeciesBatch::Create(survey_.species, s, count, Shape(), settings_.independence_period,
                                  settings_.memory_limit);
    if (batch_ || count == 1) return;
  }
}

// What every batch shares, made once; false when it cannot be had.
bool SpeciesTurns::PrepareBatches() {
  if (placer_ || !batches_possible_) return batches_possible_;
  if (Shape().cells() > 0) {
    std::optional<Matrix> idle =
        Matrix::TryCreate(settings_.num_occasions, Shape().rows, settings_.memory_limit);
    if (!idle) return batches_possible_ = false;
    idle_ = std::move(*idle);
    CountIdleDays(operating_, settings_.occasion_days, days_.columns(), idle_);
  }
  placer_.emplace(survey_, calendar_, operating_, days_.rows());
  return true;
}

}  // namespace ot
