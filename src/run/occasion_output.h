// Camera-trap occasions and the output file OccasionTallies.txt.
#pragma once

#include <cstdint>

#include "run/calendar.h"
#include "run/matrix.h"
#include "run/operating_days.h"
#include "run/survey_input.h"
#include "textio/text_unit.h"

namespace ot {

// A species' table: one row per location, one column per occasion.
using OccasionMatrix = Matrix;

// Sets `num_occasions` and writes the seven header lines to `output`.
void WriteHeader(TextUnit& output, std::int32_t occasion_days, std::int64_t num_days,
                 std::int64_t& num_occasions);

// Fills every cell of `occasions` (rows x num_occasions): the plain sum of the
// location's day cells in the occasion, each non-operating day adding -1,
// shown as -1 when negative. Each occasion covers its OccasionDays of the
// matrix's columns.
void OccasionsFromDays(std::int32_t occasion_days, const DayMatrix& days,
                       OccasionMatrix& occasions);

// Fills every cell of `idle` (num_occasions rows, one column per location)
// with the days of the occasion's OccasionDays on which the location's
// camera did not operate, of a survey of `num_days` days.
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

// Appends species `species_index`'s block (counted from 0) to unit 3: its name line, one row
// per location (the cells capped at 999, then the total of the positive
// cells capped at 999, as 3-column fields, at most 1000 to a line; -1 shown
// as " - "), then an empty line. The rows pass through temp.txt (unit 15),
// which is removed afterwards. The caps are written into `occasions`.
void WriteSpeciesMatrix(UnitTable& units, const SurveyDescription& survey,
                        OccasionMatrix& occasions, std::int64_t num_occasions,
                        std::size_t species_index);

}  // namespace ot
