#include "export/csv_export.h"

#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "base/atomic_file.h"
#include "base/failure.h"
#include "base/strings.h"
#include "export/csv_writer.h"
#include "export/species_file_names.h"

namespace ot {
namespace {

namespace fs = std::filesystem;

// Every failure is one line after a run that ended normally:
// "CSV export failed: cannot <doing> <path>: <reason>".
constexpr AtomicFileWording kExportWording{.context = "CSV export failed: "};

// The sizes of the survey's tables.
struct Dimensions {
  std::int64_t sites;
  std::int64_t occasions;
  explicit Dimensions(const SurveyResults& r)
      : sites(static_cast<std::int64_t>(r.locations().size())),
        occasions(static_cast<std::int64_t>(r.occasions().size())) {}
};

const std::string& SiteName(const SurveyResults& r, std::int64_t site) {
  return r.locations()[static_cast<std::size_t>(site)];
}

void WriteOccasions(const SurveyResults& r, AtomicFile& file) {
  CsvWriter csv(file);
  csv.Text("occasion").Text("first_date").Text("last_date").Text("days").EndRow();
  std::int64_t shown = 0;  // occasions are numbered from 1 in the file
  for (const OccasionSpan& span : r.occasions()) {
    csv.Number(++shown)
        .Text(FormatIsoDate(span.first_date))
        .Text(FormatIsoDate(span.last_date))
        .Number(span.days())
        .EndRow();
  }
}

void WriteEffortColumns(const SurveyResults& r, CsvWriter& csv, std::int64_t site) {
  for (std::int64_t k = 0; k < Dimensions(r).occasions; ++k) csv.Number(r.Effort(site, k));
}

void WriteEffort(const SurveyResults& r, AtomicFile& file) {
  const Dimensions d(r);
  CsvWriter csv(file);
  csv.Text("site").NumberedNames("effort.", d.occasions).EndRow();
  for (std::int64_t i = 0; i < d.sites; ++i) {
    csv.Text(SiteName(r, i));
    WriteEffortColumns(r, csv, i);
    csv.EndRow();
  }
}

void WriteSpeciesCounts(const SurveyResults& r, std::size_t species, AtomicFile& file) {
  const Dimensions d(r);
  CsvWriter csv(file);
  csv.Text("site").NumberedNames("y.", d.occasions).NumberedNames("effort.", d.occasions).EndRow();
  for (std::int64_t i = 0; i < d.sites; ++i) {
    csv.Text(SiteName(r, i));
    for (std::int64_t k = 0; k < d.occasions; ++k) csv.Number(r.Count(species, i, k));
    WriteEffortColumns(r, csv, i);
    csv.EndRow();
  }
}

void WriteLong(const SurveyResults& r, AtomicFile& file) {
  const Dimensions d(r);
  std::vector<std::string> first_dates, last_dates;
  for (const OccasionSpan& span : r.occasions()) {
    first_dates.push_back(FormatIsoDate(span.first_date));
    last_dates.push_back(FormatIsoDate(span.last_date));
  }
  CsvWriter csv(file);
  csv.Text("species").Text("site").Text("occasion").Text("first_date").Text("last_date");
  csv.Text("effort_days").Text("count").EndRow();
  for (std::size_t s = 0; s < r.species().size(); ++s) {
    for (std::int64_t i = 0; i < d.sites; ++i) {
      for (std::int64_t k = 0; k < d.occasions; ++k) {
        const auto at = static_cast<std::size_t>(k);
        csv.Text(r.species()[s].name).Text(SiteName(r, i)).Number(k + 1);
        csv.Text(first_dates[at]).Text(last_dates[at]);
        csv.Number(r.Effort(i, k)).Number(r.Count(s, i, k)).EndRow();
      }
    }
  }
}

void WriteSummary(const SurveyResults& r, AtomicFile& file) {
  CsvWriter csv(file);
  csv.Text("species").Text("pictures").Text("pictures_skipped").Text("events");
  csv.Text("individuals").Text("sites_detected").Text("sites_operating");
  csv.Text("naive_occupancy").Text("trap_days").EndRow();
  const std::int64_t operating = r.SitesOperating();
  const std::int64_t trap_days = r.TrapDays();
  for (std::size_t s = 0; s < r.species().size(); ++s) {
    const SpeciesResults& species = r.species()[s];
    const std::int64_t detected = r.SitesDetected(s);
    std::optional<double> occupancy;
    if (operating > 0) occupancy = static_cast<double>(detected) / static_cast<double>(operating);
    csv.Text(species.name).Number(species.pictures).Number(species.pictures_skipped);
    csv.Number(species.events).Number(species.individuals).Number(detected).Number(operating);
    csv.Decimal(occupancy).Number(trap_days).EndRow();
  }
}

void CreateFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (!error && !fs::is_directory(folder, error))
    error = std::make_error_code(std::errc::not_a_directory);
  if (error) {
    ReportSystemFailure(kExportWording.context, "create folder", folder.string(), error.value(),
                        kExportWording.exit_status);
  }
}

// Writes one file of the export under its temporary name, to be put in
// place with the others. Each is closed when written, so an export holds no
// more than one file open however many species it has.
template <typename Write>
void Stage(std::vector<std::unique_ptr<AtomicFile>>& files, fs::path path, Write write) {
  files.push_back(std::make_unique<AtomicFile>(std::move(path), kExportWording));
  write(*files.back());
  files.back()->Finish();
}

}  // namespace

void WriteCsvExport(const SurveyResults& results, const fs::path& folder) {
  const fs::path counts = folder / "counts";
  CreateFolder(folder);
  CreateFolder(counts);
  std::vector<std::unique_ptr<AtomicFile>> files;
  Stage(files, folder / "occasions.csv", [&](AtomicFile& f) { WriteOccasions(results, f); });
  Stage(files, folder / "effort.csv", [&](AtomicFile& f) { WriteEffort(results, f); });
  std::vector<std::string> species_names;
  for (const SpeciesResults& species : results.species()) species_names.push_back(species.name);
  const std::vector<std::string> file_names = SpeciesFileNames(species_names);
  for (std::size_t s = 0; s < file_names.size(); ++s) {
    Stage(files, counts / (file_names[s] + ".csv"),
          [&](AtomicFile& f) { WriteSpeciesCounts(results, s, f); });
  }
  Stage(files, folder / "long.csv", [&](AtomicFile& f) { WriteLong(results, f); });
  Stage(files, folder / "summary.csv", [&](AtomicFile& f) { WriteSummary(results, f); });
  for (auto& file : files) file->PutInPlace();
}

}  // namespace ot
