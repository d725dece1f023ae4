#include "import/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "import/import_failure.h"

namespace ot::import {
namespace {

constexpr unsigned kZlibBuffer = 1 << 17;

// Opens a descriptor first so that a missing file or a folder is told
// apart by the system's own words.
int OpenPlainFile(const std::filesystem::path& path, const std::string& shown) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) FailImport(shown + ": cannot open: " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    FailImport(shown + ": cannot open: " + std::strerror(EISDIR));
  }
  return fd;
}

}  // namespace

DataFile::DataFile(const std::filesystem::path& path, std::string shown)
    : shown_(std::move(shown)), must_be_gzip_(path.extension() == ".gz") {
  const int fd = OpenPlainFile(path, shown_);
  file_ = gzdopen(fd, "rb");
  if (file_ == nullptr) {
    ::close(fd);
    FailImport(shown_ + ": cannot open: not enough memory");
  }
  gzbuffer(file_, kZlibBuffer);
}

DataFile::~DataFile() {
  if (file_ != nullptr) gzclose(file_);
}

std::size_t DataFile::Read(char* data, std::size_t size) {
  const unsigned wanted = static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
  const int n = gzread(file_, data, wanted);
  if (n < 0) {
    int code = Z_OK;
    const char* message = gzerror(file_, &code);
    FailImport(shown_ + ": cannot read: " +
               (code == Z_ERRNO ? std::string(std::strerror(errno)) : std::string(message)));
  }
  if (!checked_ && n > 0) {
    checked_ = true;
    if (must_be_gzip_ && gzdirect(file_) != 0) {
      FailImport(shown_ + ": expected gzip-compressed data, as the name ends in .gz");
    }
  }
  if (n == 0) {
    int code = Z_OK;
    const char* message = gzerror(file_, &code);
    if (code != Z_OK) FailImport(shown_ + ": cannot read: " + message);
  }
  return static_cast<std::size_t>(n);
}

}  // namespace ot::import
