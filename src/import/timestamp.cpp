#include "import/timestamp.h"

#include <array>
#include <istream>
#include <streambuf>

#include "base/strings.h"

namespace ot::import {
namespace {

using std::chrono::minutes;

constexpr minutes kLargestOffset{14 * 60};
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

// An input stream buffer over text in place, so that parsing copies nothing.
class ViewBuffer : public std::streambuf {
 public:
  explicit ViewBuffer(std::string_view text) {
    char* begin = const_cast<char*>(text.data());
    setg(begin, begin, begin + text.size());
  }
  bool AllRead() const { return gptr() == egptr(); }
};

// Parses the whole of `text` with `format` into `time` and, when the format
// reads one, `offset`.
bool ParseWhole(std::string_view text, const char* format, date::local_seconds& time,
                std::optional<minutes>& offset) {
  ViewBuffer buffer(text);
  std::istream in(&buffer);
  constexpr minutes kUnset = minutes::min();
  minutes read_offset = kUnset;
  date::from_stream(in, format, time, static_cast<std::string*>(nullptr), &read_offset);
  if (in.fail() || !buffer.AllRead()) return false;
  if (read_offset != kUnset) offset = read_offset;
  return true;
}

bool Plausible(const Timestamp& stamp) {
  if (!YearFitsRecord(stamp.local)) return false;
  return !stamp.offset || (*stamp.offset <= kLargestOffset && *stamp.offset >= -kLargestOffset);
}

// The date and time forms of ISO text once a fraction of a second is off:
// without a zone, with +hh:mm or +hh (%Ez), and with +hhmm (%z).
struct IsoForm {
  const char* plain;
  const char* colon_zone;
  const char* zone;
};
constexpr std::array<IsoForm, 5> kIsoForms = {{
    {"%Y-%m-%dT%H:%M:%OS", "%Y-%m-%dT%H:%M:%OS%Ez", "%Y-%m-%dT%H:%M:%OS%z"},
    {"%Y-%m-%d %H:%M:%OS", "%Y-%m-%d %H:%M:%OS%Ez", "%Y-%m-%d %H:%M:%OS%z"},
    {"%Y-%m-%dT%H:%M", "%Y-%m-%dT%H:%M%Ez", "%Y-%m-%dT%H:%M%z"},
    {"%Y-%m-%d %H:%M", "%Y-%m-%d %H:%M%Ez", "%Y-%m-%d %H:%M%z"},
    {"%Y:%m:%d %H:%M:%OS", "%Y:%m:%d %H:%M:%OS%Ez", "%Y:%m:%d %H:%M:%OS%z"},
}};
constexpr const char* kIsoDate = "%Y-%m-%d";

// Longest ISO text read; longer text is no timestamp.
constexpr std::size_t kLongestIso = 48;

// Where the zone designator of ISO text begins: a final Z, or a sign after
// the date (whose own dashes end at index 7).
std::size_t ZoneStart(std::string_view text) {
  if (text.empty()) return 0;
  if (text.back() == 'Z' || text.back() == 'z') return text.size() - 1;
  constexpr std::size_t kAfterDate = 10;
  const std::size_t sign = text.find_first_of("+-", kAfterDate);
  return sign == std::string_view::npos ? text.size() : sign;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether `zone` has the form +hh, +hhmm or +hh:mm (or -). The date
// library negates an unread offset after a minus sign, which overflows, so
// nothing else reaches it.
bool IsNumericZone(std::string_view zone) {
  if (zone.size() < 3 || (zone[0] != '+' && zone[0] != '-')) return false;
  if (!IsDigit(zone[1]) || !IsDigit(zone[2])) return false;
  const std::string_view minutes = zone.substr(zone.size() == 6 && zone[3] == ':' ? 4 : 3);
  return minutes.empty() || (minutes.size() == 2 && IsDigit(minutes[0]) && IsDigit(minutes[1]));
}

// Whether a format reads an offset (%z, %Ez or %Oz).
bool ReadsOffset(std::string_view format) {
  for (std::size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != '%') continue;
    std::size_t command = i + 1;
    if (format[command] == 'E' || format[command] == 'O') ++command;
    if (command < format.size() && format[command] == 'z') return true;
    if (format[i + 1] == '%') ++i;
  }
  return false;
}

// Cuts a fraction of a second (".ddd" after the date) off `body`.
bool CutFraction(std::string_view& body) {
  constexpr std::size_t kAfterDate = 10;
  const std::size_t dot = body.find_first_of(".,", kAfterDate);
  if (dot == std::string_view::npos) return true;
  const std::string_view digits = body.substr(dot + 1);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  body = body.substr(0, dot);
  return true;
}

}  // namespace

std::optional<Timestamp> ReadIsoTimestamp(std::string_view text) {
  text = StripSpacesAndTabs(text);
  if (text.size() > kLongestIso) return std::nullopt;
  const std::size_t zone_start = ZoneStart(text);
  const std::string_view zone = text.substr(zone_start);
  std::string_view body = text.substr(0, zone_start);
  if (!CutFraction(body)) return std::nullopt;
  Timestamp stamp;
  if (zone.empty() && ParseWhole(body, kIsoDate, stamp.local, stamp.offset)) {
    stamp.has_time = false;
    return Plausible(stamp) ? std::optional<Timestamp>(stamp) : std::nullopt;
  }
  // The date and time without its fraction, then a numeric zone, in place.
  std::array<char, kLongestIso> joined{};
  const bool numeric_zone = !zone.empty() && zone != "Z" && zone != "z";
  if (numeric_zone && !IsNumericZone(zone)) return std::nullopt;
  std::copy(body.begin(), body.end(), joined.begin());
  if (numeric_zone) std::copy(zone.begin(), zone.end(), joined.begin() + body.size());
  const std::string_view whole(joined.data(), body.size() + (numeric_zone ? zone.size() : 0));
  for (const IsoForm& form : kIsoForms) {
    for (const char* format : {form.plain, form.colon_zone, form.zone}) {
      if ((format != form.plain) != numeric_zone) continue;
      if (!ParseWhole(whole, format, stamp.local, stamp.offset)) continue;
      if (!numeric_zone && !zone.empty()) stamp.offset = minutes{0};
      return Plausible(stamp) ? std::optional<Timestamp>(stamp) : std::nullopt;
    }
  }
  return std::nullopt;
}

TimeFormat::TimeFormat(std::string_view written)
    : written_(written), reads_offset_(ReadsOffset(written)) {
  constexpr std::size_t kWidestField = 2;  // wider widths overflow the library's counter
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] != '%') {
      parse_format_ += written[i];
      continue;
    }
    std::size_t at = i + 1;
    while (at < written.size() && IsDigit(written[at])) ++at;
    const std::string_view width = written.substr(i + 1, std::min(at - i - 1, kWidestField));
    if (at == written.size()) {
      parse_format_.append(1, '%').append(width);
      break;
    }
    i = at;
    // Seconds go through the locale's reader, without a width.
    if (written[at] == 'S') {
      parse_format_ += "%OS";
    } else if (written[at] == 'T') {
      parse_format_ += "%H:%M:%OS";
    } else if (written[at] == 'r') {
      parse_format_ += "%I:%M:%OS %p";
    } else {
      parse_format_.append(1, '%').append(width).append(1, written[at]);
    }
  }
}

std::optional<Timestamp> ReadFormattedTimestamp(std::string_view text, const TimeFormat& format) {
  // A minus sign without digits after it would reach the offset reader.
  if (format.reads_offset()) {
    for (std::size_t at = text.find('-'); at != std::string_view::npos;
         at = text.find('-', at + 1)) {
      if (at + 1 == text.size() || !IsDigit(text[at + 1])) return std::nullopt;
    }
  }
  Timestamp stamp;
  if (!ParseWhole(StripSpacesAndTabs(text), format.parse_format().c_str(), stamp.local,
                  stamp.offset)) {
    return std::nullopt;
  }
  return Plausible(stamp) ? std::optional<Timestamp>(stamp) : std::nullopt;
}

date::local_seconds InLocalTime(const Timestamp& when, const std::optional<minutes>& clock_offset) {
  if (!when.offset || !clock_offset) return when.local;
  return when.local - *when.offset + *clock_offset;
}

CivilTime CivilTimeOf(date::local_seconds time) {
  const date::local_days day = DateOf(time);
  const date::year_month_day ymd(day);
  const date::hh_mm_ss<std::chrono::seconds> clock(time - day);
  return {static_cast<int>(ymd.year()),     static_cast<unsigned>(ymd.month()),
          static_cast<unsigned>(ymd.day()), clock.hours().count(),
          clock.minutes().count(),          clock.seconds().count()};
}

date::local_days DateOf(date::local_seconds time) {
  return date::floor<date::days>(time);
}

bool YearFitsRecord(date::local_seconds time) {
  const int year = static_cast<int>(date::year_month_day(DateOf(time)).year());
  return year >= kFirstYear && year <= kLastYear;
}

}  // namespace ot::import
