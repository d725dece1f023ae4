#include "import/import_summary.h"

#include <algorithm>

#include "base/strings.h"
#include "import/survey_files.h"

namespace ot::import {
namespace {

Date DateOf(date::local_days day) {
  const date::year_month_day ymd(day);
  return {static_cast<std::int32_t>(ymd.year()),
          static_cast<std::int32_t>(static_cast<unsigned>(ymd.month())),
          static_cast<std::int32_t>(static_cast<unsigned>(ymd.day()))};
}

// The first and last day any camera operated.
std::string SurveySpan(const ImportedSurvey& survey) {
  date::local_days first = date::local_days::max();
  date::local_days last = date::local_days::min();
  for (const ImportedLocation& location : survey.locations) {
    for (const ImportedPeriod& period : location.periods) {
      first = std::min(first, period.begin);
      last = std::max(last, period.end);
    }
  }
  return FormatIsoDate(DateOf(first)) + " to " + FormatIsoDate(DateOf(last));
}

void AppendSpecies(std::string& out, const ImportedSurvey& survey) {
  const std::vector<std::int64_t> pictures = PicturesPerSpecies(survey);
  out += "  species: " + std::to_string(survey.species.size()) + "\n";
  for (std::size_t s = 0; s < survey.species.size(); ++s) {
    std::string name = survey.species_names.names[s];
    name.append(kNameBytes - std::min(name.size(), kNameBytes), ' ');
    out += "    " + name + "  " + Pluralize(pictures[s], "picture", "pictures") + "\n";
  }
}

void AppendLeftOut(std::string& out, const ImportedSurvey& survey) {
  out += "  left out: " + std::to_string(survey.TotalLeftOut()) + "\n";
  for (const LeftOut& entry : survey.left_out) {
    if (entry.count > 0) out += "    " + std::to_string(entry.count) + " " + entry.reason + "\n";
  }
}

void AppendNameChanges(std::string& out, const ImportedSurvey& survey) {
  const std::size_t changed =
      survey.location_names.changes.size() + survey.species_names.changes.size();
  out += "  names changed to fit 25 bytes: " + std::to_string(changed) + "\n";
  for (const auto& [what, names] : {std::pair{"location", &survey.location_names},
                                    std::pair{"species", &survey.species_names}}) {
    for (const NameChange& change : names->changes) {
      out += std::string("    ") + what + " " + Quote(EscapeControlBytes(change.original)) +
             " is written " + Quote(change.fitted) + "\n";
    }
  }
}

void AppendSharing(std::string& out, const ImportedSurvey& survey) {
  out += "  species sharing pictures: " + std::to_string(survey.sharing.size()) + "\n";
  for (const SharedPictures& pair : survey.sharing) {
    const std::string& shorter = survey.species_names.names[pair.shorter];
    const std::string& longer = survey.species_names.names[pair.longer];
    out += "    warning: \"" + longer + "\" begins with \"" + shorter +
           "\", so the pictures of \"" + longer + "\" are counted under \"" + shorter + "\" too\n";
  }
}

}  // namespace

std::string ImportSummary(const ImportedSurvey& survey, const std::filesystem::path& folder) {
  std::string out = "Imported " + survey.source_lines.front() + "\n";
  for (std::size_t i = 1; i < survey.source_lines.size(); ++i) {
    out += "  " + survey.source_lines[i] + "\n";
  }
  std::int64_t periods = 0;
  for (const ImportedLocation& location : survey.locations) {
    periods += static_cast<std::int64_t>(location.periods.size());
  }
  out += "  deployments: " + std::to_string(survey.deployments) + "\n";
  out += "  locations: " + std::to_string(survey.locations.size()) + ", with " +
         Pluralize(periods, "operating period", "operating periods") + " from " +
         SurveySpan(survey) + "\n";
  AppendSpecies(out, survey);
  out += "  pictures written: " + std::to_string(survey.pictures.size()) + "\n";
  AppendLeftOut(out, survey);
  out += "  counts missing, written as 1: " + std::to_string(survey.counts_missing) + "\n";
  out += "  counts above 99, written as 99: " + std::to_string(survey.counts_capped) + "\n";
  AppendNameChanges(out, survey);
  AppendSharing(out, survey);
  out += "  pictures outside their deployment's operating dates: " +
         std::to_string(survey.outside_operating_dates) + "\n";
  out += "Wrote " + (folder / kInputFileName).string() + " and " + kPicturesFileName +
         " (LF line ends).\n";
  return out;
}

}  // namespace ot::import
