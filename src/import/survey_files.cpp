#include "import/survey_files.h"

#include <cstdio>

#include "base/atomic_file.h"
#include "base/failure.h"
#include "import/import_failure.h"
#include "import/name_fitting.h"
#include "run/picture_record.h"

namespace ot::import {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kWriteChunk = 1 << 20;

// Every failure to write reads "cannot write <file>: <reason>".
constexpr AtomicFileWording kImportWording{.placing = "write"};

void AppendRight(std::string& out, long value, int width) {
  char digits[24];
  const int n = std::snprintf(digits, sizeof digits, "%*ld", width, value);
  out.append(digits, static_cast<std::size_t>(n));
}

void AppendDate(std::string& out, date::local_days day) {
  const date::year_month_day ymd(day);
  AppendRight(out, static_cast<int>(ymd.year()), 0);
  out += ' ';
  AppendRight(out, static_cast<long>(static_cast<unsigned>(ymd.month())), 0);
  out += ' ';
  AppendRight(out, static_cast<long>(static_cast<unsigned>(ymd.day())), 0);
}

// Fitted names and capped counts fit their fields of the record.
static_assert(kNameBytes == static_cast<std::size_t>(kNameLength));
static_assert(kLargestCount == LargestNumberIn(PictureField::kCount));

// One AllPictures.txt record and its LF.
void AppendRecordLine(std::string& out, std::string_view location, std::string_view species,
                      const CivilTime& time, std::int32_t count) {
  PictureRecord record;
  record.location = location;
  record.species = species;
  record.date = {time.year, static_cast<std::int32_t>(time.month),
                 static_cast<std::int32_t>(time.day)};
  record.hour = static_cast<std::int32_t>(time.hour);
  record.minute = static_cast<std::int32_t>(time.minute);
  record.second = static_cast<std::int32_t>(time.second);
  record.count = count;
  AppendPictureRecord(out, record);
  out += '\n';
}

void WritePictures(AtomicFile& file, const ImportedSurvey& survey) {
  std::string chunk;
  chunk.reserve(kWriteChunk + 128);
  for (const ImportedPicture& picture : survey.pictures) {
    AppendRecordLine(chunk, survey.location_names.names[picture.location],
                     survey.species_names.names[picture.species], CivilTimeOf(picture.time),
                     picture.count);
    if (chunk.size() >= kWriteChunk) {
      file.Write(chunk);
      chunk.clear();
    }
  }
  file.Write(chunk);
}

// Puts `file` in place, over a file of its name only when `replace` is set.
void PutInPlace(AtomicFile& file, bool replace) {
  if (replace) return file.PutInPlace();
  if (!file.PutInPlaceIfAbsent()) {
    FailImport(file.target().string() + " already exists; add --force to replace it");
  }
}

}  // namespace

void CheckSurveyFilesFree(const fs::path& folder, bool replace) {
  if (replace) return;
  std::error_code ignored;
  const bool input = fs::exists(folder / kInputFileName, ignored);
  const bool pictures = fs::exists(folder / kPicturesFileName, ignored);
  if (input && pictures) {
    FailImport((folder / kInputFileName).string() + " and " + kPicturesFileName +
               " already exist; add --force to replace them");
  }
  if (input || pictures) {
    FailImport((folder / (input ? kInputFileName : kPicturesFileName)).string() +
               " already exists; add --force to replace it");
  }
}

std::string InputFileText(const ImportedSurvey& survey) {
  std::string text = CleanName(survey.title);
  if (text.empty()) text = "Imported survey";
  text += '\n';
  text += std::to_string(survey.locations.size()) + '\n';
  for (std::size_t i = 0; i < survey.locations.size(); ++i) {
    const ImportedLocation& location = survey.locations[i];
    text += survey.location_names.names[i] + '\n';
    text += std::to_string(location.periods.size()) + '\n';
    for (const ImportedPeriod& period : location.periods) {
      AppendDate(text, period.begin);
      text += ' ';
      AppendDate(text, period.end);
      text += '\n';
    }
  }
  text += std::to_string(survey.species.size()) + '\n';
  for (const std::string& name : survey.species_names.names) text += name + '\n';
  return text;
}

void WriteSurveyFiles(const fs::path& folder, const ImportedSurvey& survey, bool replace) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    ReportSystemFailure("", "create the folder", folder.string(), error.value(), kExitToolFailed);
  }
  AtomicFile input(folder / kInputFileName, kImportWording);
  input.Write(InputFileText(survey));
  input.Finish();
  AtomicFile pictures(folder / kPicturesFileName, kImportWording);
  WritePictures(pictures, survey);
  pictures.Finish();
  PutInPlace(input, replace);
  try {
    PutInPlace(pictures, replace);
  } catch (...) {
    // Both or neither: a new Input.txt without its pictures goes again.
    if (!replace) fs::remove(input.target(), error);
    throw;
  }
}

}  // namespace ot::import
