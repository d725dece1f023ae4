#include "run/species_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace ot {
namespace {

using testing::Record;

std::string Padded(std::string text) {
  text.resize(kNameLength, ' ');
  return text;
}

// Ridge top operating 2019-11-20 .. 29: 10 days, two 7-day occasions.
struct Survey {
  SurveyDescription survey;
  SurveyCalendar calendar;
  OperatingDays operating;
  std::vector<std::string> names;

  explicit Survey(std::vector<std::string> species) {
    survey.locations.push_back({Padded("Ridge top"), 1, {{{2019, 11, 20}, {2019, 11, 29}}}});
    survey.num_locations = 1;
    SetSurveyCalendar(survey, calendar);
    ShiftToSurveyDays(survey, calendar);
    operating = OperatingDays(survey, calendar.num_days);
    for (const std::string& name : species) names.push_back(Padded(name));
  }

  SpeciesBatch Scan(const std::string& log, std::int64_t exact_additions) {
    std::optional<SpeciesBatch> batch =
        SpeciesBatch::Create(names, 0, names.size(), {1, 2, 7}, 30, UINT64_MAX, exact_additions);
    PicturePlacer placer(survey, calendar, operating, 1);
    MisalignedRecords misaligned;
    auto pictures = testing::ReadingUnit(log);
    batch->Scan(*pictures, placer, misaligned, nullptr);
    return std::move(*batch);
  }
};

TEST(SpeciesBatch, AdditionsNearTheLimitLeaveTheTableInexact) {
  Survey s({"Red fox", "Red", "Boar"});
  // Red fox adds 6 + 5, Red adds those and 3 more; Boar adds 10.
  const std::string log = Record("Ridge top", "Red fox", "2019 11 21  6  0  0  6") +
                          Record("Ridge top", "Red deer", "2019 11 21  9  0  0  3") +
                          Record("Ridge top", "Boar", "2019 11 22  1  0  0 10") +
                          Record("Ridge top", "Red fox", "2019 11 28  6  0  0  5");
  const SpeciesBatch batch = s.Scan(log, 11);
  EXPECT_TRUE(batch.at(0).exact);
  EXPECT_EQ(batch.at(0).added(0, 0), 6);
  EXPECT_EQ(batch.at(0).added(1, 0), 5);
  EXPECT_FALSE(batch.at(1).exact);  // 14 in all
  EXPECT_EQ(batch.at(1).added_magnitude, 14);
  EXPECT_TRUE(batch.at(2).exact);
  EXPECT_EQ(batch.at(2).added(0, 0), 10);
  EXPECT_EQ(batch.at(1).selected, 3);
  EXPECT_EQ(std::string(batch.at(1).first_record.data(), kPictureRecordLength),
            log.substr(0, kPictureRecordLength));
}

}  // namespace
}  // namespace ot
