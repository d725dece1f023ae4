// Timestamps as camera-trap data write them, and their move into a
// camera's local time.
#include "import/timestamp.h"

#include <gtest/gtest.h>

namespace ot::import {
namespace {

// "YYYY-MM-DD hh:mm:ss" with the offset in minutes, or "-" when unreadable.
std::string Shown(const std::optional<Timestamp>& stamp) {
  if (!stamp) return "-";
  std::string text = date::format("%F %T", stamp->local);
  if (stamp->offset) text.append(" ").append(std::to_string(stamp->offset->count()));
  if (!stamp->has_time) text += " date";
  return text;
}

TEST(Timestamp, ReadsIsoText) {
  const struct {
    const char* text;
    const char* read;
  } cases[] = {
      {"2023-03-21T23:40:00Z", "2023-03-21 23:40:00 0"},
      {"2023-03-27T09:30:00+02:00", "2023-03-27 09:30:00 120"},
      {"2023-03-27T09:30:00+0200", "2023-03-27 09:30:00 120"},
      {"2023-03-27T09:30:00-03", "2023-03-27 09:30:00 -180"},
      {"2023-03-27 09:30:00+05:30", "2023-03-27 09:30:00 330"},
      {" 2023-03-27T09:30:00 ", "2023-03-27 09:30:00"},
      {"2023-03-27T09:30", "2023-03-27 09:30:00"},
      {"2023-03-27T09:30:59.999Z", "2023-03-27 09:30:59 0"},
      {"2023:03:27 09:30:05", "2023-03-27 09:30:05"},
      {"2023-03-27", "2023-03-27 00:00:00 date"},
      {"2024-02-29T12:00:00Z", "2024-02-29 12:00:00 0"},
      // Unreadable: impossible dates and times, zones beyond 14 hours,
      // years a record cannot hold, and text that is no timestamp.
      {"2023-02-29T12:00:00Z", "-"},
      {"2023-03-27T24:00:00Z", "-"},
      {"2023-03-27T09:60:00Z", "-"},
      {"2023-03-27T09:30:00+15:00", "-"},
      {"0000-03-27T09:30:00", "-"},
      {"2023-03-27Z", "-"},
      {"2023-03-27T09:30:00 Z", "-"},
      {"2023-03-27T09:30:00.Z", "-"},
      {"2023-03-27T09:30:x", "-"},
      {"2023-03-27T09:30:00-", "-"},
      {"2023-03-27T09:30:00+2:00", "-"},
      {"27/03/2023 09:30", "-"},
      {"", "-"},
      {"NA", "-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Shown(ReadIsoTimestamp(c.text)), c.read);
  }
}

TEST(Timestamp, ReadsTextByAFormat) {
  const struct {
    const char* text;
    const char* format;
    const char* read;
  } cases[] = {
      {"27/03/2023 09:30", "%d/%m/%Y %H:%M", "2023-03-27 09:30:00"},
      {"03/27/2023 9:30:05 +0100", "%m/%d/%Y %H:%M:%S %z", "2023-03-27 09:30:05 60"},
      {"27/03/2023", "%d/%m/%Y", "2023-03-27 00:00:00"},
      {"27/03/2023 09:30 extra", "%d/%m/%Y %H:%M", "-"},
      {"31/04/2023 09:30", "%d/%m/%Y %H:%M", "-"},
      {"2023-03-27 09:30:x", "%Y-%m-%d %T", "-"},  // no digit where seconds are read
      {"2023-03-27 09:30:7", "%Y-%m-%d %H:%M:%S", "2023-03-27 09:30:07"},
      {"100% 2023-03-27", "100%% %F", "2023-03-27 00:00:00"},
      {"2023-03-27 09:30 -x", "%F %R %z", "-"},
      {"2023-03-27 09:30:7", "%F %H:%M:%2S", "2023-03-27 09:30:07"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Shown(ReadFormattedTimestamp(c.text, TimeFormat(c.format))), c.read);
  }
}

TEST(Timestamp, MovesAnInstantIntoTheCameraClock) {
  using std::chrono::minutes;
  const struct {
    const char* text;
    std::optional<minutes> clock;
    const char* local;
  } cases[] = {
      {"2023-03-21T23:40:00Z", minutes{60}, "2023-03-22 00:40:00"},
      {"2023-03-29T22:15:00Z", minutes{120}, "2023-03-30 00:15:00"},
      {"2023-03-30T00:15:00+02:00", minutes{60}, "2023-03-29 23:15:00"},
      {"2024-01-01T00:30:00+01:00", minutes{-300}, "2023-12-31 18:30:00"},
      {"2023-03-21T23:40:00Z", std::nullopt, "2023-03-21 23:40:00"},
      {"2023-03-21T23:40:00", minutes{60}, "2023-03-21 23:40:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(date::format("%F %T", InLocalTime(*ReadIsoTimestamp(c.text), c.clock)), c.local);
  }
}

}  // namespace
}  // namespace ot::import
