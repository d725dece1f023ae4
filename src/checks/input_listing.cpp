#include "checks/input_listing.h"

#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "checks/read_failure.h"
#include "checks/survey_text.h"
#include "textio/fixed_width.h"
#include "textio/free_form.h"
#include "textio/text_unit.h"

namespace ot::checks {
namespace {

constexpr Field kNameFields[] = {TextField(kNameLength)};
constexpr FieldLayout kNameLayout{kNameFields};

std::unique_ptr<TextUnit> UnitOver(std::string_view text) {
  return std::make_unique<TextUnit>(kUnitInputFiles, "Input.txt",
                                    std::make_unique<StringSource>(std::string(text)));
}

class InputReader {
 public:
  explicit InputReader(std::string_view content) : content_(content), unit_(UnitOver(content)) {}

  InputListing Read() {
    InputListing listing;
    Reading("the title line");
    SkipLine(*unit_);
    Reading("the number of locations");
    const std::int32_t locations = ReadCount();
    for (std::int32_t i = 1; i <= locations; ++i) ReadLocation(listing, i);
    Reading("the number of species");
    const std::int32_t species = ReadCount();
    for (std::int32_t k = 1; k <= species; ++k) {
      Reading("the name of species " + std::to_string(k));
      listing.survey.species.push_back(ReadName());
      listing.species_lines.push_back(unit_->lines());
    }
    return listing;
  }

  const std::string& reading() const { return reading_; }

 private:
  void Reading(std::string what) { reading_ = std::move(what); }

  std::int32_t ReadCount() {
    std::int32_t count = 0;
    ReadFreeForm(*unit_, {&count, 1});
    return count;
  }

  std::string ReadName() {
    std::string name(kNameLength, ' ');
    const ReadItem item = std::span<char>(name);
    ReadFixed(*unit_, kNameLayout, {&item, 1});
    return name;
  }

  void ReadLocation(InputListing& listing, std::int32_t number) {
    Reading("the name of location " + std::to_string(number));
    Location location;
    location.name = ReadName();
    listing.location_lines.push_back(unit_->lines());
    const std::string entry = Entry("location", static_cast<std::size_t>(number), location.name);
    Reading("the number of periods of " + entry);
    const std::int32_t periods = ReadCount();
    std::vector<PeriodLines> lines;
    for (std::int32_t j = 1; j <= periods; ++j) {
      Reading("the dates of period " + std::to_string(j) + " of " + entry);
      lines.push_back({});
      location.periods.push_back(ReadPeriod(lines.back()));
    }
    listing.survey.locations.push_back(std::move(location));
    listing.period_lines.push_back(std::move(lines));
  }

  Period ReadPeriod(PeriodLines& lines) {
    const std::int64_t before = unit_->lines();
    std::int32_t values[6] = {};
    ReadFreeForm(*unit_, values);
    lines.fill(unit_->lines());
    // Values spread over several lines: the read of the first k values
    // alone ends on the line of the k-th.
    if (unit_->lines() > before + 1) {
      const std::string_view text = Lines(before + 1, unit_->lines());
      for (std::size_t k = 1; k < 6; ++k) {
        std::int32_t prefix[6] = {};
        const std::unique_ptr<TextUnit> again = UnitOver(text);
        ReadFreeForm(*again, std::span(prefix, k));
        lines[k - 1] = before + again->lines();
      }
    }
    Period period;
    period.begin = {values[0], values[1], values[2]};
    period.end = {values[3], values[4], values[5]};
    return period;
  }

  // Lines first..last of the content (counted from 1), line ends included.
  std::string_view Lines(std::int64_t first, std::int64_t last) {
    while (static_cast<std::int64_t>(line_starts_.size()) <= last) {
      const std::size_t from = line_starts_.back();
      const void* end = std::memchr(content_.data() + from, '\n', content_.size() - from);
      line_starts_.push_back(end == nullptr ? content_.size()
                                            : static_cast<const char*>(end) - content_.data() + 1);
    }
    const std::size_t begin = line_starts_[static_cast<std::size_t>(first - 1)];
    return content_.substr(begin, line_starts_[static_cast<std::size_t>(last)] - begin);
  }

  std::string_view content_;
  std::unique_ptr<TextUnit> unit_;
  std::string reading_;
  std::vector<std::size_t> line_starts_{0};  // byte offset of each line read so far
};

}  // namespace

InputListing ReadInputListing(std::string_view content) {
  InputReader reader(content);
  try {
    return reader.Read();
  } catch (const RunFailure& failure) {
    CannotCheck(SurveyFile::kInput, failure, reader.reading());
  }
}

}  // namespace ot::checks
