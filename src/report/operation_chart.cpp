#include "report/operation_chart.h"

#include <algorithm>

#include "base/strings.h"
#include "report/heat_map.h"
#include "report/html_text.h"
#include "report/png_image.h"
#include "report/report_style.h"
#include "run/calendar.h"

namespace ot::report {
namespace {

constexpr int kLabelWidth = 190;
constexpr int kAxisHeight = 34;
constexpr std::int64_t kPlotWidth = 960;
constexpr std::int64_t kMaxColumns = 960;
constexpr std::size_t kMarkColours = 254;  // palette entries left for species

struct ChartLayout {
  std::int64_t days = 0;
  std::int64_t rows = 0;
  int row_height = 0;
  double day_width = 0;  // pixels per survey day
  // Where survey day `day` and the row of location `row` begin (both counted
  // from 0).
  double X(std::int64_t day) const { return kLabelWidth + static_cast<double>(day) * day_width; }
  std::int64_t Y(std::int64_t row) const { return kAxisHeight + row * row_height; }
  std::int64_t height() const { return kAxisHeight + rows * row_height + 4; }
};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string s = text;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s;
}

constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Month ticks every `step` months (a step of 12 or more falls on Januaries),
// labelled with the month, and the year at January and at the first label.
// A survey that begins within a month has that month named at its start when
// there is room before the first tick.
void AppendMonthTicks(std::string& html, const SurveyResults& results, const ChartLayout& chart) {
  const Date first = results.first_date();
  const Date last = results.last_date();
  const std::int64_t months =
      (static_cast<std::int64_t>(last.year) - first.year) * 12 + (last.month - first.month) + 1;
  std::int64_t step = 1;
  for (std::int64_t candidate : {1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200, 2400}) {
    step = candidate;
    if (months / candidate <= kPlotWidth / 60) break;
  }
  const std::int64_t first_number = DayNumber(first.year, first);
  const std::int64_t bottom = chart.Y(chart.rows);
  bool labelled = false;
  const std::int64_t next_first =
      DayNumber(first.year, {first.year + (first.month == 12), first.month % 12 + 1, 1});
  if (first.day != 1 && step < 12 && (next_first - first_number) * chart.day_width >= 70) {
    Append(html, "<text class=\"axis month\" x=\"", Number(chart.X(0)), "\" y=\"12\">",
           kMonthNames[first.month - 1], " ", std::to_string(first.year), "</text>");
    labelled = true;
  }
  for (std::int64_t m = 0; m <= months; ++m) {
    const std::int64_t absolute =
        static_cast<std::int64_t>(first.year) * 12 + (first.month - 1) + m;
    const Date tick{static_cast<std::int32_t>(absolute / 12),
                    static_cast<std::int32_t>(absolute % 12 + 1), 1};
    if (step >= 12 ? (tick.month != 1 || tick.year % (step / 12) != 0) : absolute % step != 0)
      continue;
    const std::int64_t day = DayNumber(first.year, tick) - first_number;
    if (day < 0 || day >= chart.days) continue;
    const std::string x = Number(chart.X(day));
    Append(html, "<line class=\"tick\" x1=\"", x, "\" x2=\"", x, "\" y1=\"", "4", "\" y2=\"",
           std::to_string(bottom), "\"/>");
    std::string label = step >= 12 ? std::to_string(tick.year) : kMonthNames[tick.month - 1];
    if (step < 12 && (tick.month == 1 || !labelled)) Append(label, " ", std::to_string(tick.year));
    Append(html, "<text class=\"axis month\" x=\"", Number(chart.X(day) + 3), "\" y=\"12\">", label,
           "</text>");
    labelled = true;
  }
}

// In a survey of two months or less, a tick per day, labelled with the day of
// the month as often as there is room.
void AppendDayTicks(std::string& html, const SurveyResults& results, const ChartLayout& chart) {
  const std::int64_t every = chart.day_width >= 22 ? 1 : chart.day_width >= 11 ? 2 : 7;
  for (std::int64_t day = 0; day < chart.days; ++day) {
    const Date date = results.DateOfSurveyDay(day);
    if (date.day == 1 || day % every != 0) continue;  // the 1st has its month tick
    const std::string x = Number(chart.X(day));
    Append(html, "<line class=\"tick minor\" x1=\"", x, "\" x2=\"", x, "\" y1=\"",
           std::to_string(kAxisHeight - 4), "\" y2=\"", std::to_string(kAxisHeight), "\"/>");
    Append(html, "<text class=\"axis day\" x=\"", Number(chart.X(day) + chart.day_width / 2),
           "\" y=\"", std::to_string(kAxisHeight - 6), "\">", std::to_string(date.day), "</text>");
  }
}

// The operating periods of one location as bars, clamped to the survey.
void AppendPeriodBars(std::string& html, const SurveyResults& results, std::int64_t location,
                      const ChartLayout& chart) {
  const std::int64_t y = chart.Y(location);
  for (const Period& period : results.PeriodsOf(location)) {
    const std::int64_t begin = std::max<std::int64_t>(period.begin_day, 0);
    const std::int64_t end = std::min(period.end_day, chart.days - 1);
    if (end < begin) continue;
    Append(html, "<rect class=\"period\" x=\"", Number(chart.X(begin)), "\" y=\"",
           std::to_string(y + 2), "\" width=\"",
           Number(static_cast<double>(end - begin + 1) * chart.day_width), "\" height=\"",
           std::to_string(chart.row_height / 2 - 2), "\"><title>",
           FormatIsoDate(results.DateOfSurveyDay(begin)), " to ",
           FormatIsoDate(results.DateOfSurveyDay(end)), " (", std::to_string(end - begin + 1),
           " days)</title></rect>");
  }
}

// Two pixel rows per location: the upper one red where pictures fell on a
// non-operating day; the lower one in the colour of the species with the
// most pictures of the column (the first listed on a tie), or red.
PaletteImage PictureMarks(const SurveyResults& results, const ChartLayout& chart,
                          std::int64_t days_per_column) {
  const std::int64_t columns = (chart.days + days_per_column - 1) / days_per_column;
  std::vector<Rgba> palette{{0, 0, 0, 0}, kAlarmRed};
  const std::size_t species_count = results.species().size();
  for (std::size_t s = 0; s < std::min(species_count, kMarkColours); ++s) {
    palette.push_back(SpeciesColour(s));
  }
  PaletteImage image(columns, 2 * chart.rows, std::move(palette));
  const auto cells = static_cast<std::size_t>(columns * chart.rows);
  std::vector<std::int64_t> best(cells, 0);
  std::vector<std::int64_t> counted(cells, 0);
  std::vector<std::size_t> touched;
  for (std::size_t s = 0; s < species_count; ++s) {
    const auto& days = results.species()[s].day_pictures;
    for (const DayPictures& run : days) {
      if (run.day < 0 || run.day >= chart.days || run.location < 0 || run.location >= chart.rows) {
        continue;
      }
      const std::int64_t column = run.day / days_per_column;
      const auto cell = static_cast<std::size_t>(run.location * columns + column);
      if (counted[cell] == 0) touched.push_back(cell);
      counted[cell] += run.pictures;
      if (!run.operating_day) {
        image.at(column, 2 * run.location) = 1;
        image.at(column, 2 * run.location + 1) = 1;
      }
    }
    for (std::size_t cell : touched) {
      const auto row = static_cast<std::int64_t>(cell) / columns;
      std::uint8_t& mark = image.at(static_cast<std::int64_t>(cell) % columns, 2 * row + 1);
      if (counted[cell] > best[cell] && mark != 1) {
        best[cell] = counted[cell];
        mark = static_cast<std::uint8_t>(2 + s % kMarkColours);
      }
      counted[cell] = 0;
    }
    touched.clear();
  }
  return image;
}

void AppendSpeciesLegend(std::string& html, const SurveyResults& results) {
  Append(html,
         "<ul class=\"legend species\"><li><span class=\"swatch period\"></span>camera "
         "operating</li><li><span class=\"swatch\" style=\"background-color:",
         Hex(kAlarmRed), "\"></span>pictures on a day the camera was not operating</li>");
  for (std::size_t s = 0; s < results.species().size(); ++s) {
    Append(html, "<li><span class=\"swatch\" style=\"background-color:",
           Hex(SpeciesColour(s % kMarkColours)), "\"></span>");
    AppendEscaped(html, ShownName(results.species()[s].name));
    html += "</li>";
  }
  html += "</ul>";
}

}  // namespace

std::int64_t DaysPerColumn(std::int64_t survey_days, std::int64_t max_columns) {
  return std::max<std::int64_t>(1, (survey_days + max_columns - 1) / max_columns);
}

void AppendOperationChart(std::string& html, const SurveyResults& results) {
  ChartLayout chart;
  chart.days = results.survey_days();
  chart.rows = static_cast<std::int64_t>(results.locations().size());
  chart.row_height = chart.rows <= 30 ? 20 : 12;
  chart.day_width =
      static_cast<double>(kPlotWidth) / static_cast<double>(std::max<std::int64_t>(chart.days, 1));
  AppendSpeciesLegend(html, results);
  if (chart.days < 1) {
    html +=
        "<p class=\"empty\">No camera has an operating period: the study has no days to "
        "draw.</p>";
  }
  Append(html,
         "<div class=\"scroll\"><svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" "
         "width=\"",
         std::to_string(kLabelWidth + kPlotWidth + 10), "\" height=\"",
         std::to_string(chart.height()), "\">");
  if (chart.days >= 1) AppendMonthTicks(html, results, chart);
  if (chart.days >= 1 && chart.days <= 62) AppendDayTicks(html, results, chart);
  const auto occasions = static_cast<std::int64_t>(results.occasions().size());
  for (std::int64_t i = 0; i < chart.rows; ++i) {
    std::vector<std::optional<std::int64_t>> effort;
    for (std::int64_t k = 0; k < occasions; ++k) effort.push_back(results.Effort(i, k));
    const std::string& name = results.locations()[static_cast<std::size_t>(i)];
    html += "<g class=\"chart-row\" data-location=\"";
    AppendEscaped(html, name);
    Append(html, "\" data-operating-days=\"", std::to_string(results.OperatingDaysOf(i)),
           "\" data-effort=\"");
    AppendValueList(html, effort);
    Append(html, "\"><text class=\"site\" x=\"", std::to_string(kLabelWidth - 6), "\" y=\"",
           std::to_string(chart.Y(i) + chart.row_height / 2 + 4), "\">");
    AppendEscaped(html, name);
    html += "</text>";
    if (chart.days >= 1) AppendPeriodBars(html, results, i, chart);
    html += "</g>";
  }
  if (chart.days >= 1 && chart.rows >= 1) {
    const std::int64_t days_per_column = DaysPerColumn(chart.days, kMaxColumns);
    const PaletteImage marks = PictureMarks(results, chart, days_per_column);
    Append(html, "<image class=\"marks\" preserveAspectRatio=\"none\" x=\"",
           std::to_string(kLabelWidth), "\" y=\"", std::to_string(kAxisHeight), "\" width=\"",
           Number(static_cast<double>(marks.width * days_per_column) * chart.day_width),
           "\" height=\"", std::to_string(chart.rows * chart.row_height),
           "\" data-days-per-column=\"", std::to_string(days_per_column), "\" href=\"",
           PngDataUri(marks), "\"/>");
  }
  html += "</svg></div>\n";
}

}  // namespace ot::report
