#include "import/survey_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "import/import_failure.h"
#include "import/name_fitting.h"
#include "run/picture_record.h"

namespace ot::import {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kWriteChunk = 1 << 20;

std::string SystemError(int error) {
  return std::strerror(error);
}

// A file under a temporary name beside its final name, removed unless it
// was moved into place.
class TemporaryFile {
 public:
  TemporaryFile(const fs::path& folder, const std::string& name)
      : final_(folder / name), shown_(final_.string()) {
    for (int attempt = 0; fd_ < 0; ++attempt) {
      path_ = folder / ("." + name + ".import-" + std::to_string(::getpid()) + "-" +
                        std::to_string(attempt));
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && (errno != EEXIST || attempt > 100)) Fail(errno);
    }
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!placed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail(errno);
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }
  // Makes the bytes durable and closes the file.
  void Complete() {
    if (::fsync(fd_) != 0 && errno != EINVAL) Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(errno);
  }
  // Moves the file to its final name, replacing a file there only when
  // `replace` is set.
  void Place(bool replace) {
    if (!replace) {
      if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, final_.c_str(), RENAME_NOREPLACE) == 0) {
        placed_ = true;
        return;
      }
      if (errno == EEXIST) FailExisting();
      // Some file systems cannot refuse to replace; look first instead.
      if (errno != EINVAL && errno != ENOSYS) Fail(errno);
      std::error_code ignored;
      if (fs::exists(final_, ignored)) FailExisting();
    }
    if (::rename(path_.c_str(), final_.c_str()) != 0) Fail(errno);
    placed_ = true;
  }
  // Removes the file from its final name again.
  void Withdraw() {
    if (placed_) ::unlink(final_.c_str());
  }

 private:
  [[noreturn]] void Fail(int error) const {
    FailImport("cannot write " + shown_ + ": " + SystemError(error));
  }
  [[noreturn]] void FailExisting() const {
    FailImport(shown_ + " already exists; add --force to replace it");
  }

  fs::path final_;
  std::string shown_;
  fs::path path_;
  int fd_ = -1;
  bool placed_ = false;
};

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

void WritePictures(TemporaryFile& file, const ImportedSurvey& survey) {
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
  if (error) FailImport("cannot create the folder " + folder.string() + ": " + error.message());
  TemporaryFile input(folder, kInputFileName);
  input.Write(InputFileText(survey));
  input.Complete();
  TemporaryFile pictures(folder, kPicturesFileName);
  WritePictures(pictures, survey);
  pictures.Complete();
  input.Place(replace);
  try {
    pictures.Place(replace);
  } catch (...) {
    // Both or neither: a new Input.txt without its pictures goes again.
    if (!replace) input.Withdraw();
    throw;
  }
}

}  // namespace ot::import
