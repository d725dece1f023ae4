#include "base/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/failure.h"

namespace ot {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr int kNamesTried = 100;

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target, const AtomicFileWording& wording)
    : target_(std::move(target)),
      context_(wording.context),
      writing_(wording.writing),
      placing_(wording.placing),
      exit_status_(wording.exit_status) {
  // Found now, while nothing is in place yet, rather than when the rename
  // fails.
  std::error_code ignored;
  if (std::filesystem::is_directory(target_, ignored)) Fail(placing_, EISDIR);
  std::string stem(1, '.');
  stem.append(target_.filename().string()).append(".tmp-");
  stem.append(std::to_string(::getpid())).append("-");
  // A name taken, by a file left by an earlier process of the same id or by
  // anything planted there, is passed over: O_EXCL never opens what exists,
  // a symbolic link included.
  for (int attempt = 0; fd_ < 0; ++attempt) {
    temporary_ = target_.parent_path() / (stem + std::to_string(attempt));
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno != EEXIST || attempt + 1 == kNamesTried)) Fail(writing_, errno);
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!in_place_) ::unlink(temporary_.c_str());
}

void AtomicFile::Fail(std::string_view doing, int error) const {
  ReportSystemFailure(context_, doing, target_.string(), error, exit_status_);
}

void AtomicFile::Write(std::string_view bytes) {
  if (held_.size() + bytes.size() >= kBufferSize) {
    WriteAll(held_);
    held_.clear();
    // As many bytes as the buffer holds go on at once, not through it.
    if (bytes.size() >= kBufferSize) return WriteAll(bytes);
  }
  held_.append(bytes);
}

void AtomicFile::WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) Fail(writing_, errno);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void AtomicFile::Finish() {
  if (fd_ < 0) return;
  WriteAll(held_);
  std::string().swap(held_);  // a finished file waiting for its rename holds no buffer
  // EINVAL: the file system cannot sync this file; nothing more can be done.
  if (::fsync(fd_) != 0 && errno != EINVAL) Fail(writing_, errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail(writing_, errno);
}

void AtomicFile::PutInPlace() {
  Finish();
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(placing_, errno);
  in_place_ = true;
}

bool AtomicFile::PutInPlaceIfAbsent() {
  Finish();
  if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) {
    in_place_ = true;
    return true;
  }
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) Fail(placing_, errno);
  // A file system that cannot rename without replacing can still make a
  // link without replacing, as one step too; the temporary name then goes.
  if (::link(temporary_.c_str(), target_.c_str()) != 0) {
    if (errno == EEXIST) return false;
    Fail(placing_, errno);
  }
  in_place_ = true;
  ::unlink(temporary_.c_str());
  return true;
}

}  // namespace ot
