// Dates and times as camera-trap data write them, read through Howard
// Hinnant's date library, and the move of an instant into a camera's local
// time.
#pragma once

#include <date/date.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace ot::import {

// A date and time as written: its digits, and its offset from UTC when one
// was written.
struct Timestamp {
  date::local_seconds local;  // fractions of a second are cut
  std::optional<std::chrono::minutes> offset;
  bool has_time = true;  // false for a date alone
};

// A local time in the fields of a picture record.
struct CivilTime {
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  long hour = 0;
  long minute = 0;
  long second = 0;
};

// Reads ISO 8601 text: YYYY-MM-DD, optionally followed by `T` or a blank
// and hh:mm or hh:mm:ss (a fraction of a second is cut), then optionally
// `Z`, +hh:mm, +hhmm or +hh (or -). Also takes the camera form
// YYYY:MM:DD hh:mm:ss. Surrounding blanks are ignored. Returns nullopt for
// anything else, an impossible date or time, a year outside 1..9999 or an
// offset beyond 14 hours.
std::optional<Timestamp> ReadIsoTimestamp(std::string_view text);

// A strftime-style format as the user wrote it, readied for date::parse:
// seconds (%S, %T, %r) are read as whole seconds through the locale's time
// reader, since date::parse reads them as a floating-point value that is
// left unset when no digit follows.
class TimeFormat {
 public:
  explicit TimeFormat(std::string_view written);
  const std::string& written() const { return written_; }
  const std::string& parse_format() const { return parse_format_; }
  bool reads_offset() const { return reads_offset_; }

 private:
  std::string written_;
  std::string parse_format_;
  bool reads_offset_ = false;
};

// Reads `text` with `format`; the whole text must match. An offset is
// taken when the format reads one (%z); such a format refuses text with a
// minus sign that no digit follows. Returns nullopt as ReadIsoTimestamp
// does.
std::optional<Timestamp> ReadFormattedTimestamp(std::string_view text, const TimeFormat& format);

// The local time of `when` at a camera whose clock runs at `clock_offset`:
// the instant `when` stands for, moved to that offset. When either offset
// is unknown, the digits as written.
date::local_seconds InLocalTime(const Timestamp& when,
                                const std::optional<std::chrono::minutes>& clock_offset);

// The calendar fields of `time`.
CivilTime CivilTimeOf(date::local_seconds time);

// The calendar date of `time`.
date::local_days DateOf(date::local_seconds time);

// Whether `time`'s year lies in 1..9999, the years a picture record holds.
bool YearFitsRecord(date::local_seconds time);

}  // namespace ot::import
