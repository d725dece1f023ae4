#include "export/replacement_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "export/export_failure.h"

namespace ot {
namespace {

constexpr std::size_t kHandOnSize = 1 << 20;

}  // namespace

ReplacementFile::ReplacementFile(std::filesystem::path path) : path_(std::move(path)) {
  // Found now, while nothing of the export is in place yet, rather than
  // when the rename fails.
  std::error_code ignored;
  if (std::filesystem::is_directory(path_, ignored)) ReportExportFailure("replace", path_, EISDIR);
  std::string stem(".");
  stem.append(path_.filename().string()).append(".part-").append(std::to_string(::getpid()));
  // A name left by an earlier process of the same id is passed over.
  for (int attempt = 0; fd_ < 0; ++attempt) {
    std::string name = stem;
    if (attempt > 0) name.append("-").append(std::to_string(attempt));
    temporary_ = path_.parent_path() / name;
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno != EEXIST || attempt == 99)) ReportExportFailure("write", path_, errno);
  }
  sink_ = std::make_unique<FdSink>(fd_, true);
}

ReplacementFile::~ReplacementFile() {
  sink_.reset();
  if (!in_place_) ::unlink(temporary_.c_str());
}

void ReplacementFile::Append(std::string_view bytes) {
  held_.append(bytes);
  if (held_.size() >= kHandOnSize) HandOn();
}

void ReplacementFile::HandOn() {
  const int error = sink_->Write(held_);
  held_.clear();
  if (error != 0) ReportExportFailure("write", path_, error);
}

void ReplacementFile::Finish() {
  HandOn();
  if (::fsync(fd_) != 0) ReportExportFailure("write", path_, errno);
  std::string().swap(held_);  // a finished file waiting for its rename holds no buffer
  const int error = sink_->Close();
  if (error != 0) ReportExportFailure("write", path_, error);
}

void ReplacementFile::PutInPlace() {
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    ReportExportFailure("replace", path_, errno);
  }
  in_place_ = true;
}

}  // namespace ot
