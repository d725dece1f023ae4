// The species' turns of a run: each species' tally, taken from a batch of
// species tallied together in one scan of the picture log or made on its
// own, and the occasion matrix it gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "run/calendar.h"
#include "run/matrix.h"
#include "run/occasion_output.h"
#include "run/operating_days.h"
#include "run/run_observer.h"
#include "run/species_batch.h"
#include "run/survey_input.h"
#include "run/tally.h"
#include "textio/text_unit.h"

namespace ot {

// What the turns need to know of the run besides the survey.
struct TurnSettings {
  std::int32_t independence_period = 0;
  std::int32_t occasion_days = 0;
  std::int64_t num_occasions = 0;
  std::uint64_t scan_memory = 0;   // see RunEnvironment
  std::uint64_t memory_limit = 0;  // see RunEnvironment
  RunObserver* observer = nullptr;
};

class SpeciesTurns {
 public:
  // Everything given must outlive the turns; `days` is the run's day matrix
  // (the rows and columns of the survey), used by species tallied on their
  // own.
  SpeciesTurns(UnitTable& units, const SurveyDescription& survey, const SurveyCalendar& calendar,
               const OperatingDays& operating, DayMatrix& days, MisalignedRecords& misaligned,
               const TurnSettings& settings);

  // Tallies species `s` (counted from 0; the turns come in order) and
  // returns its outcome, telling the observer of each tallied picture.
  // - The first species of a batch reads AllPictures.txt once for all the
  //   batch's species; a batch holds as many species as the scan memory
  //   allows and can be had, at least one.
  // - Every turn creates SpeciesPics.txt (holding the species' first record,
  //   if any) and removes it at the end.
  // - A species no batch can hold, or whose additions are too large for its
  //   batch table to be exact, is tallied on its own into `days` through
  //   SpeciesPics.txt, as is one that selects an unreadable record: that
  //   ends the run with failure 231 on SpeciesPics.txt.
  TallyOutcome Tally(std::size_t s);

  // Fills the occasion matrix of species `s`, the species last tallied.
  void FillOccasions(std::size_t s, OccasionMatrix& occasions) const;

 private:
  TallyOutcome TallyOnItsOwn(std::size_t s, TallyListener listener);
  void ScanForBatch();
  void StartBatch(std::size_t s);
  bool PrepareBatches();
  OccasionShape Shape() const;

  UnitTable& units_;
  const SurveyDescription& survey_;
  const SurveyCalendar& calendar_;
  const OperatingDays& operating_;
  DayMatrix& days_;
  MisalignedRecords& misaligned_;
  TurnSettings settings_;
  // Made once when the first batch is: the placer and the idle days per
  // occasion and location that every batch shares.
  std::optional<PicturePlacer> placer_;
  Matrix idle_;
  bool batches_possible_ = true;
  std::optional<SpeciesBatch> batch_;  // the batch of the current turn, if any
};

}  // namespace ot
