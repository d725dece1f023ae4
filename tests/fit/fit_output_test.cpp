// The fits as text: numbers, models.csv rows and the terminal table.
#include "fit/fit_output.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "fit/number_text.h"

namespace ot::fit {
namespace {

TEST(NumberText, SixSignificantDigitsInEveryLocale) {
  const struct {
    double value;
    const char* csv;
    const char* short_text;
  } cases[] = {
      {0.0812345678, "0.0812346", "0.0812"},
      {-1234.56789, "-1234.57", "-1.23e+03"},
      {1.5e-7, "1.5e-07", "1.5e-07"},
      {0.1 + 0.2, "0.3", "0.3"},
      {1, "1", "1"},
      {-0.0, "0", "0"},
      {123456789, "1.23457e+08", "1.23e+08"},
      {0.99999999, "1", "1"},
      {std::numeric_limits<double>::quiet_NaN(), "NA", "NA"},
      {std::numeric_limits<double>::infinity(), "NA", "NA"},
  };
  // A locale with a decimal comma, where one is installed, must not matter.
  const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.csv);
    EXPECT_EQ(CsvNumber(c.value), c.csv);
    EXPECT_EQ(ShortNumber(c.value), c.short_text);
  }
  if (comma) std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(CsvNumber(std::nullopt), "NA");
}

Estimate Full(double value, double se, double lower, double upper) {
  return Estimate{value, se, lower, upper};
}
Estimate ValueOnly(double value) {
  return Estimate{value, {}, {}, {}};
}

SpeciesFit Species(std::string name, std::int64_t sites, std::int64_t detected,
                   std::int64_t occasions, std::int64_t detections) {
  SpeciesFit fit;
  fit.species = std::move(name);
  fit.days = 7;
  fit.sites = sites;
  fit.sites_detected = detected;
  fit.naive_occupancy = static_cast<double>(detected) / static_cast<double>(sites);
  fit.occasions = occasions;
  fit.detections = detections;
  return fit;
}

// Sets a model's status and log-likelihood, with AIC = 4 - 2 loglik.
void Fitted(ModelFit& model, FitStatus status, double log_likelihood) {
  model.status = status;
  model.log_likelihood = log_likelihood;
  model.aic = 4 - 2 * log_likelihood;
}

// Three species: both models ok; both on the boundary; no detection.
std::vector<SpeciesFit> ThreeFits() {
  SpeciesFit fox = Species("Red fox", 12, 8, 110, 23);
  Fitted(fox.occupancy, FitStatus::kOk, -45.1234567);
  fox.occupancy.psi = Full(0.712345678, 0.1234567, 0.4051234, 0.9021234);
  fox.occupancy.p_daily = Full(0.0812345, 0.0112345, 0.0523456, 0.1234567);
  fox.occupancy.p_occasion = Full(0.444444, 0.05, 0.31, 0.58);
  Fitted(fox.royle_nichols, FitStatus::kOk, -44.5);
  fox.royle_nichols.lambda = Full(1.23456, 0.4, 0.65, 2.345);
  fox.royle_nichols.r_daily = Full(0.05, 0.01, 0.03, 0.08);
  fox.royle_nichols.psi = Full(0.709, 0.1, 0.478, 0.904);

  SpeciesFit deer = Species("Roe deer, buck", 30, 30, 300, 150);
  Fitted(deer.occupancy, FitStatus::kBoundary, -207.944154);
  deer.occupancy.psi = ValueOnly(1);
  deer.occupancy.p_daily = Full(0.0942763, 0.00747, 0.0806, 0.11);
  deer.occupancy.p_occasion = Full(0.5, 0.0289, 0.445, 0.558);
  Fitted(deer.royle_nichols, FitStatus::kBoundary, -208.654);
  deer.royle_nichols.lambda = ValueOnly(50);
  deer.royle_nichols.r_daily = ValueOnly(0.000989865);
  deer.royle_nichols.psi = ValueOnly(1);

  return {fox, deer,
          Species("Blaireau europ\xc3\xa9"
                  "en",
                  12, 0, 110, 0)};
}

std::string Joined(const ModelsCsvRow& row) {
  std::string text;
  for (const std::string& field : row) {
    if (!text.empty()) text += '|';
    text += field;
  }
  return text;
}

TEST(ModelsCsvRows, SixRowsPerSpeciesInTheHeadersOrder) {
  std::string header;
  for (std::string_view name : kModelsCsvHeader) {
    if (!header.empty()) header += ',';
    header += name;
  }
  EXPECT_EQ(
      header,
      "species,model,parameter,estimate,se,lcl,ucl,loglik,aic,sites,occasions,detections,status");

  const struct {
    std::size_t species;
    std::vector<std::string> rows;
  } cases[] = {
      {0,
       {"Red fox|occupancy|psi|0.712346|0.123457|0.405123|0.902123|-45.1235|94.2469|12|110|23|ok",
        "Red "
        "fox|occupancy|p_daily|0.0812345|0.0112345|0.0523456|0.123457|-45.1235|94.2469|12|110|23|"
        "ok",
        "Red fox|occupancy|p_occasion|0.444444|0.05|0.31|0.58|-45.1235|94.2469|12|110|23|ok",
        "Red fox|royle-nichols|lambda|1.23456|0.4|0.65|2.345|-44.5|93|12|110|23|ok",
        "Red fox|royle-nichols|r_daily|0.05|0.01|0.03|0.08|-44.5|93|12|110|23|ok",
        "Red fox|royle-nichols|psi|0.709|0.1|0.478|0.904|-44.5|93|12|110|23|ok"}},
      {1,
       {"Roe deer, buck|occupancy|psi|1|NA|NA|NA|-207.944|419.888|30|300|150|boundary",
        "Roe deer, "
        "buck|occupancy|p_daily|0.0942763|0.00747|0.0806|0.11|-207.944|419.888|30|300|150|"
        "boundary",
        "Roe deer, buck|occupancy|p_occasion|0.5|0.0289|0.445|0.558|-207.944|419.888|30|300|150|"
        "boundary",
        "Roe deer, buck|royle-nichols|lambda|50|NA|NA|NA|-208.654|421.308|30|300|150|boundary",
        "Roe deer, buck|royle-nichols|r_daily|0.000989865|NA|NA|NA|-208.654|421.308|30|300|150|"
        "boundary",
        "Roe deer, buck|royle-nichols|psi|1|NA|NA|NA|-208.654|421.308|30|300|150|boundary"}},
      {2,
       {"Blaireau europ\xc3\xa9"
        "en|occupancy|psi|NA|NA|NA|NA|NA|NA|12|110|0|no-detection",
        "Blaireau europ\xc3\xa9"
        "en|occupancy|p_daily|NA|NA|NA|NA|NA|NA|12|110|0|no-detection",
        "Blaireau europ\xc3\xa9"
        "en|occupancy|p_occasion|NA|NA|NA|NA|NA|NA|12|110|0|no-detection",
        "Blaireau europ\xc3\xa9"
        "en|royle-nichols|lambda|NA|NA|NA|NA|NA|NA|12|110|0|no-detection",
        "Blaireau europ\xc3\xa9"
        "en|royle-nichols|r_daily|NA|NA|NA|NA|NA|NA|12|110|0|no-detection",
        "Blaireau europ\xc3\xa9"
        "en|royle-nichols|psi|NA|NA|NA|NA|NA|NA|12|110|0|no-detection"}},
  };
  const auto fits = ThreeFits();
  for (const auto& c : cases) {
    SCOPED_TRACE(fits[c.species].species);
    std::vector<std::string> rows;
    for (const ModelsCsvRow& row : ModelsCsvRows(fits[c.species])) rows.push_back(Joined(row));
    EXPECT_EQ(rows, c.rows);
  }
}

TEST(ModelTable, OneAlignedLinePerSpecies) {
  const auto fits = ThreeFits();
  // Widths in characters: the UTF-8 name counts 17, not 18 bytes.
  EXPECT_EQ(RenderModelTable(BuildModelTable(fits)),
            "species            sites  detected  naive   occupancy (95% CI)  "
            "daily detection (95% CI)  RN animals/site (95% CI)  AIC occ.  AIC RN  status\n"
            "Red fox               12         8  0.667  0.712 (0.405-0.902)     "
            "0.0812 (0.0523-0.123)          1.23 (0.65-2.35)      94.2    93.0  ok\n"
            "Roe deer, buck        30        30      1               1 (NA)      "
            "0.0943 (0.0806-0.11)                   50 (NA)     419.9   421.3  boundary\n"
            "Blaireau europ\xc3\xa9"
            "en     12         0      0                   NA                        "
            "NA                        NA        NA      NA  no-detection\n");
}

TEST(ModelTable, StatusNamesTheModelWhenTheyDiffer) {
  const struct {
    FitStatus occupancy, royle_nichols;
    const char* cell;
  } cases[] = {
      {FitStatus::kOk, FitStatus::kOk, "ok"},
      {FitStatus::kBoundary, FitStatus::kBoundary, "boundary"},
      {FitStatus::kBoundary, FitStatus::kOk, "boundary (occupancy)"},
      {FitStatus::kOk, FitStatus::kNotConverged, "not-converged (RN)"},
      {FitStatus::kBoundary, FitStatus::kNotConverged, "boundary (occupancy), not-converged (RN)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    SpeciesFit fit;
    fit.occupancy.status = c.occupancy;
    fit.royle_nichols.status = c.royle_nichols;
    const ModelTable table = BuildModelTable(std::span<const SpeciesFit>(&fit, 1));
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0].back(), c.cell);
    EXPECT_EQ(table.rows[0].size(), table.header.size());
  }
}

}  // namespace
}  // namespace ot::fit
