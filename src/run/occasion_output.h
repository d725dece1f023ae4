// Camera-trap occasions and the output file OccasionTallies.txt.
#pragma once

#include <cstdint>

#include "run/calendar.h"
#include "run/study_input.h"
#include "textio/text_unit.h"

namespace ot {

using OccasionMatrix = Matrix;

// The number of occasions: (num_days - 1 + occasion_days) / occasion_days,
// truncated toward zero, or 0 unless that is positive. `occasion_days` must
// not be 0.
std::int64_t CountOccasions(std::int64_t num_days, std::int32_t occasion_days);

// Sets `num_occasions` and writes the seven header lines to `output`.
void WriteHeader(TextUnit& output, std::int32_t occasion_days, std::int64_t num_days,
                 std::int64_t& num_occasions);

// Fills every cell of `occasions` (rows x num_occasions): the plain sum of the
// location's day cells in the occasion, each non-operating day adding -1,
// shown as -1 when negative. Occasion k covers days 1 + (k - 1) x
// occasion_days to the smaller of k x occasion_days and num_days.
void OccasionsFromDays(std::int32_t occasion_days, const DayMatrix& days,
                       OccasionMatrix& occasions);

// The occasion (counted from 1) whose range in OccasionsFromDays holds study day
// `day` (1 or more), or 0 when none does: with a negative occasion length
// every range is empty.
inline std::int64_t OccasionOfDay(std::int64_t day, std::int32_t occasion_days) {
  return occasion_days > 0 ? (day - 1) / occasion_days + 1 : 0;
}

// Fills every cell of `idle` (num_occasions rows, one column per location)
// with the days of the occasion's range in OccasionsFromDays on which the
// location's camera did not operate, of a study of `num_days` days.
void CountIdleDays(const OperatingDays& operating, std::int32_t occasion_days,
                   std::int64_t num_days, Matrix& idle);

// Fills `occasions` as OccasionsFromDays does from the day matrix of a species
// without keeping that matrix: `added` holds what the species' pictures
// added per occasion (OccasionOfDay, the row) and location (the column),
// `idle` the idle days in the same shape (CountIdleDays), both matching
// `occasions` unless the occasion length is negative; an empty `added`
// stands for all 0. The same as OccasionsFromDays whenever the day matrix's cells stay
// clear of the 32-bit limits, as they do while the species' additions come
// to less than 2^31 - 1 in magnitude.
void OccasionsFromSums(std::int32_t occasion_days, const Matrix& added, const Matrix& idle,
                       OccasionMatrix& occasions);

// Appends species `species_index`'s block (counted from 1) to unit 3: its name line, one row
// per location (the cells capped at 999, then the total of the positive
// cells capped at 999, as 3-column fields, at most 1000 to a line; -1 shown
// as " - "), then an empty line. The rows pass through temp.txt (unit 15),
// which is removed afterwards. The caps are written into `occasions`.
void WriteSpeciesMatrix(UnitTable& units, const StudyTables& study, OccasionMatrix& occasions,
                        std::int64_t num_occasions, std::size_t species_index);

}  // namespace ot
