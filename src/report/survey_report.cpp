#include "report/survey_report.h"

#include <cstdio>
#include <fstream>

#include "base/atomic_file.h"
#include "base/strings.h"
#include "report/heat_map.h"
#include "report/html_text.h"
#include "report/operation_chart.h"
#include "report/page_assets.h"

namespace ot::report {
namespace {

// Every failure reads "cannot write the report <file>: <reason>".
constexpr AtomicFileWording kReportWording{.writing = "write the report",
                                           .placing = "write the report"};

// As Pluralize, with the count grouped as the report shows numbers.
std::string GroupedCount(std::int64_t n, std::string_view singular, std::string_view plural) {
  std::string text = Grouped(n);
  Append(text, " ", SingularOrPlural(n, singular, plural));
  return text;
}

void AppendFact(std::string& html, std::string_view term, const std::string& escaped_value) {
  html += "<dt>";
  html += term;
  Append(html, "</dt><dd>", escaped_value, "</dd>");
}

std::string OccasionText(const SurveyResults& results) {
  const auto& occasions = results.occasions();
  std::string text = GroupedCount(results.answers().occasion_days, "day", "days");
  Append(text, "; ",
         GroupedCount(static_cast<std::int64_t>(occasions.size()), "occasion", "occasions"));
  if (!occasions.empty() && occasions.back().days() != results.answers().occasion_days) {
    Append(text, " (the last ", GroupedCount(occasions.back().days(), "day", "days"), ")");
  }
  return text;
}

void AppendSummary(std::string& html, const SurveyResults& results) {
  std::int64_t pictures = 0;
  std::int64_t skipped = 0;
  for (const SpeciesResults& species : results.species()) {
    pictures += species.pictures;
    skipped += species.pictures_skipped;
  }
  html += "<section id=\"summary\"><h2>Study summary</h2><dl class=\"facts\">";
  AppendFact(html, "Locations", std::to_string(results.locations().size()));
  AppendFact(html, "Species", std::to_string(results.species().size()));
  std::string dates = "none: no camera has an operating period";
  if (results.survey_days() >= 1) {
    dates = FormatIsoDate(results.first_date());
    Append(dates, " to ", FormatIsoDate(results.last_date()), " (",
           GroupedCount(results.survey_days(), "day", "days"), ")");
  }
  AppendFact(html, "Study dates", dates);
  AppendFact(html, "Independence period",
             GroupedCount(results.answers().independence_period, "minute", "minutes"));
  AppendFact(html, "Occasion length", OccasionText(results));
  AppendFact(html, "Camera-days", Grouped(results.TrapDays()));
  AppendFact(html, "Pictures tallied", Grouped(pictures).append(" (summed over the species)"));
  AppendFact(html, "Pictures skipped", Grouped(skipped));
  html += "</dl><h3>Warnings</h3>";
  if (results.warnings().empty()) {
    html += "<p class=\"none\">None.</p>";
  } else {
    html += "<ul class=\"warnings\">";
    for (const std::string& line : results.warnings()) {
      html += "<li>";
      AppendEscaped(html, std::string_view(line).substr(0, line.find_last_not_of("\r\n") + 1));
      html += "</li>";
    }
    html += "</ul>";
  }
  html += "</section>\n";
}

std::string Occupancy(std::int64_t detected, std::int64_t operating) {
  if (operating == 0) return "NA";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f",
                static_cast<double>(detected) / static_cast<double>(operating));
  return text;
}

void AppendFiguresTable(std::string& html, const SurveyResults& results) {
  html +=
      "<section id=\"figures\"><h2>Summary per species</h2><div class=\"scroll\"><table "
      "class=\"figures\"><thead><tr><th>Species</th><th>Pictures</th><th>Pictures "
      "skipped</th><th>Independent events</th><th>Individuals</th><th>Locations "
      "detected</th><th>Locations operating</th><th>Naive occupancy</th><th>Camera-days</th></tr>"
      "</thead><tbody>";
  const std::int64_t operating = results.SitesOperating();
  const std::string trap_days = Grouped(results.TrapDays());
  for (std::size_t s = 0; s < results.species().size(); ++s) {
    const SpeciesResults& figures = results.species()[s];
    const std::int64_t detected = results.SitesDetected(s);
    html += "<tr><th scope=\"row\">";
    AppendEscaped(html, ShownName(figures.name));
    html += "</th>";
    for (const std::string& cell :
         {Grouped(figures.pictures), Grouped(figures.pictures_skipped), Grouped(figures.events),
          Grouped(figures.individuals), Grouped(detected), Grouped(operating),
          Occupancy(detected, operating), trap_days}) {
      Append(html, "<td class=\"n\">", cell, "</td>");
    }
    html += "</tr>";
  }
  html += "</tbody></table></div></section>\n";
}

std::string OccasionList(const SurveyResults& results) {
  std::string list;
  for (const OccasionSpan& span : results.occasions()) {
    if (!list.empty()) list += ';';
    Append(list, FormatIsoDate(span.first_date), " ", FormatIsoDate(span.last_date), " ",
           std::to_string(span.days()));
  }
  return list;
}

}  // namespace

std::string RenderSurveyReport(const SurveyResults& results, std::string_view title) {
  const std::string shown_title = title.empty() ? "Camera-trap survey" : std::string(title);
  std::string html;
  html.reserve(1 << 20);
  html +=
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>";
  AppendEscaped(html, shown_title);
  html += " \u2013 survey report</title><style>";
  html += kPageStyle;
  Append(html, "</style></head>\n<body><main id=\"report\" data-occasions=\"",
         OccasionList(results), "\"><h1>");
  AppendEscaped(html, shown_title);
  Append(html,
         "</h1><p class=\"sub\">Survey report of occasion-tallies " OT_VERSION
         " (independence period ",
         GroupedCount(results.answers().independence_period, "minute", "minutes"),
         ", occasions of ", GroupedCount(results.answers().occasion_days, "day", "days"),
         ")</p>\n");
  AppendSummary(html, results);

  html +=
      "<section id=\"operation\"><h2>Camera operation</h2><p class=\"sub\">Each row is a "
      "location; bars are its operating periods, marks below them the days with pictures, "
      "coloured by the species with the most pictures that day.</p>";
  AppendOperationChart(html, results);
  html += "</section>\n";

  const HeatMapLayout layout = LayoutHeatMaps(results);
  html +=
      "<svg class=\"definitions\" width=\"0\" height=\"0\" aria-hidden=\"true\" "
      "style=\"position:absolute\"><defs>";
  AppendHeatMapDefinitions(html, results, layout);
  html += "</defs></svg>";
  html +=
      "<section id=\"heatmaps\"><h2>Counts per occasion</h2><p class=\"sub\">Individuals "
      "of independent events per location and occasion, uncapped; NA where the camera did "
      "not operate in the occasion. Point at a cell for its dates, count and effort.</p>";
  AppendShadeLegend(html);
  for (std::size_t s = 0; s < results.species().size(); ++s) {
    AppendHeatMap(html, results, s, layout);
  }
  if (results.species().empty()) html += "<p class=\"empty\">Input.txt lists no species.</p>";
  html += "</section>\n";

  AppendFiguresTable(html, results);
  html += "</main><div id=\"tip\" hidden></div><script>";
  html += kPageScript;
  html += "</script></body></html>\n";
  return html;
}

std::string ReadTitleLine(const std::filesystem::path& input_file) {
  std::ifstream file(input_file, std::ios::binary);
  std::string line;
  if (!file || !std::getline(file, line)) return "";
  const std::size_t end = line.find_last_not_of(" \t\r");
  return end == std::string::npos ? "" : line.substr(0, end + 1);
}

void WriteSurveyReport(const SurveyResults& results, const std::filesystem::path& survey_folder,
                       const std::filesystem::path& file) {
  const std::string html = RenderSurveyReport(results, ReadTitleLine(survey_folder / "Input.txt"));
  AtomicFile report(survey_folder / file, kReportWording);
  report.Write(html);
  report.PutInPlace();
}

}  // namespace ot::report
