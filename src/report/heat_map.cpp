#include "report/heat_map.h"

#include <algorithm>

#include "report/html_text.h"
#include "report/png_image.h"
#include "report/report_style.h"

namespace ot::report {
namespace {

constexpr int kLabelWidth = 190;
constexpr int kAxisHeight = 22;
constexpr int kTotalWidth = 80;
constexpr std::int64_t kCellsWide = 900;  // aimed-for width of the cells

// Label every `step` occasions, with room for the widest number between
// labels.
std::int64_t AxisStep(int cell_width, std::int64_t columns) {
  const auto room = static_cast<std::int64_t>(std::to_string(columns).size()) * 6 + 8;
  std::int64_t step = 1;
  for (std::int64_t base = 1; step * cell_width < room; base *= 10) {
    for (std::int64_t factor : {1, 2, 5}) {
      step = base * factor;
      if (step * cell_width >= room) break;
    }
  }
  return step;
}

void AppendNumber(std::string& html, std::string_view name, std::int64_t value) {
  html += ' ';
  html += name;
  html += "=\"";
  html += std::to_string(value);
  html += '"';
}

void AppendOccasionAxis(std::string& html, const HeatMapLayout& layout) {
  const std::int64_t step = AxisStep(layout.cell_width, layout.columns);
  // Occasion k is labelled k + 1: the first, then every step-th.
  for (std::int64_t k = 0; k < layout.columns; k = (k == 0 && step > 1) ? step - 1 : k + step) {
    html += "<text class=\"axis\"";
    AppendNumber(html, "x", layout.label_width + k * layout.cell_width + layout.cell_width / 2);
    AppendNumber(html, "y", layout.axis_height - 6);
    Append(html, ">", std::to_string(k + 1), "</text>");
  }
  html += "<text class=\"axis total-head\"";
  AppendNumber(html, "x", layout.label_width + layout.cells_width() + 8);
  AppendNumber(html, "y", layout.axis_height - 6);
  html += ">Total</text>";
}

std::vector<std::optional<std::int64_t>> RowCounts(const SurveyResults& results,
                                                   std::size_t species, std::int64_t location) {
  const auto occasions = static_cast<std::int64_t>(results.occasions().size());
  std::vector<std::optional<std::int64_t>> counts;
  counts.reserve(static_cast<std::size_t>(occasions));
  for (std::int64_t k = 0; k < occasions; ++k)
    counts.push_back(results.Count(species, location, k));
  return counts;
}

std::vector<Rgba> ShadePalette() {
  std::vector<Rgba> palette;
  for (int s = 0; s < kShadeCount; ++s) palette.push_back(ShadeColour(static_cast<Shade>(s)));
  return palette;
}

}  // namespace

HeatMapLayout LayoutHeatMaps(const SurveyResults& results) {
  HeatMapLayout layout;
  layout.rows = static_cast<std::int64_t>(results.locations().size());
  layout.columns = static_cast<std::int64_t>(results.occasions().size());
  layout.cell_width = static_cast<int>(
      std::clamp<std::int64_t>(kCellsWide / std::max<std::int64_t>(layout.columns, 1), 3, 18));
  layout.cell_height = layout.rows <= 30 ? 18 : 10;
  layout.label_width = kLabelWidth;
  layout.axis_height = kAxisHeight;
  layout.total_width = kTotalWidth;
  return layout;
}

void AppendHeatMapDefinitions(std::string& html, const SurveyResults& results,
                              const HeatMapLayout& layout) {
  html +=
      "<pattern id=\"na-hatch\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
      "patternTransform=\"rotate(45)\"><line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" "
      "stroke=\"#6f6f6f\" stroke-width=\"1.6\"/></pattern>";
  html += "<pattern id=\"cell-grid\" patternUnits=\"userSpaceOnUse\"";
  AppendNumber(html, "x", layout.label_width);
  AppendNumber(html, "y", layout.axis_height);
  AppendNumber(html, "width", layout.cell_width);
  AppendNumber(html, "height", layout.cell_height);
  Append(html, "><path fill=\"none\" stroke=\"#ffffff\" stroke-width=\"1\" d=\"M0 0H",
         std::to_string(layout.cell_width), "M0 0V", std::to_string(layout.cell_height),
         "\"/></pattern>");
  html += "<g id=\"na-cells\" fill=\"url(#na-hatch)\">";
  for (std::int64_t i = 0; i < layout.rows; ++i) {
    for (std::int64_t k = 0; k < layout.columns;) {
      if (results.Effort(i, k) != 0) {
        ++k;
        continue;
      }
      std::int64_t end = k;
      while (end < layout.columns && results.Effort(i, end) == 0) ++end;
      html += "<rect";
      AppendNumber(html, "x", k * layout.cell_width);
      AppendNumber(html, "y", i * layout.cell_height);
      AppendNumber(html, "width", (end - k) * layout.cell_width);
      AppendNumber(html, "height", layout.cell_height);
      html += "/>";
      k = end;
    }
  }
  html += "</g>";
}

void AppendShadeLegend(std::string& html) {
  html += "<ul class=\"legend shades\">";
  for (int s = 0; s < kShadeCount; ++s) {
    const auto shade = static_cast<Shade>(s);
    Append(html, "<li data-shade=\"", std::to_string(s), "\" data-colour=\"",
           Hex(ShadeColour(shade)), "\"><span class=\"swatch", shade == kShadeNoEffort ? " na" : "",
           "\" style=\"background-color:", Hex(ShadeColour(shade)), "\"></span>",
           Escaped(ShadeLabel(shade)), "</li>");
  }
  html += "</ul>";
}

std::string ShownName(const std::string& name) {
  return name.empty() ? "(blank name)" : name;
}

void AppendHeatMap(std::string& html, const SurveyResults& results, std::size_t species,
                   const HeatMapLayout& layout) {
  const SpeciesResults& figures = results.species()[species];
  // Browsers may skip drawing a heat map until it is scrolled near, keeping
  // its place by this size.
  Append(html, "<figure class=\"heatmap\" style=\"contain-intrinsic-size:auto ",
         std::to_string(layout.width()), "px auto ", std::to_string(layout.height() + 24),
         "px\" data-species=\"");
  AppendEscaped(html, figures.name);
  html += "\"><figcaption><b>";
  AppendEscaped(html, ShownName(figures.name));
  Append(html, "</b> ", Grouped(figures.individuals), " individuals in ", Grouped(figures.events),
         " independent events, detected at ", std::to_string(results.SitesDetected(species)),
         " of ", std::to_string(results.locations().size()), " locations</figcaption>");
  html += "<div class=\"scroll\"><svg class=\"heat\" xmlns=\"http://www.w3.org/2000/svg\"";
  AppendNumber(html, "width", layout.width());
  AppendNumber(html, "height", layout.height());
  html += ">";
  AppendOccasionAxis(html, layout);
  PaletteImage image(std::max<std::int64_t>(layout.columns, 1),
                     std::max<std::int64_t>(layout.rows, 1), ShadePalette());
  for (std::int64_t i = 0; i < layout.rows; ++i) {
    const auto counts = RowCounts(results, species, i);
    std::int64_t total = 0;
    for (std::size_t k = 0; k < counts.size(); ++k) {
      total += counts[k].value_or(0);
      image.at(static_cast<std::int64_t>(k), i) = ShadeOf(counts[k]);
    }
    // Half a cell above the row's lower edge, lowered to the text's baseline.
    const std::int64_t baseline =
        layout.axis_height + (i + 1) * layout.cell_height - layout.cell_height / 2 + 4;
    html += "<g class=\"hm-row\" data-location=\"";
    AppendEscaped(html, results.locations()[static_cast<std::size_t>(i)]);
    Append(html, "\" data-total=\"", std::to_string(total), "\" data-counts=\"");
    AppendValueList(html, counts);
    html += "\"><text class=\"site\"";
    AppendNumber(html, "x", layout.label_width - 6);
    AppendNumber(html, "y", baseline);
    html += ">";
    AppendEscaped(html, results.locations()[static_cast<std::size_t>(i)]);
    html += "</text><text class=\"total\"";
    AppendNumber(html, "x", layout.label_width + layout.cells_width() + 8);
    AppendNumber(html, "y", baseline);
    Append(html, ">", Grouped(total), "</text></g>");
  }
  if (layout.rows > 0 && layout.columns > 0) {
    html += "<image class=\"cells\" preserveAspectRatio=\"none\"";
    AppendNumber(html, "x", layout.label_width);
    AppendNumber(html, "y", layout.axis_height);
    AppendNumber(html, "width", layout.cells_width());
    AppendNumber(html, "height", layout.cells_height());
    Append(html, " href=\"", PngDataUri(image), "\"/>");
    html += "<use class=\"overlay\" href=\"#na-cells\"";
    AppendNumber(html, "x", layout.label_width);
    AppendNumber(html, "y", layout.axis_height);
    html += "/>";
    if (layout.cell_width >= 8) {
      html += "<rect class=\"overlay\" fill=\"url(#cell-grid)\"";
      AppendNumber(html, "x", layout.label_width);
      AppendNumber(html, "y", layout.axis_height);
      AppendNumber(html, "width", layout.cells_width());
      AppendNumber(html, "height", layout.cells_height());
      html += "/>";
    }
    html += "<rect class=\"overlay frame\"";
    AppendNumber(html, "x", layout.label_width);
    AppendNumber(html, "y", layout.axis_height);
    AppendNumber(html, "width", layout.cells_width());
    AppendNumber(html, "height", layout.cells_height());
    html += "/>";
  }
  html += "</svg></div></figure>\n";
}

}  // namespace ot::report
