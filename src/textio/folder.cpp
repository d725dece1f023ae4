#include "textio/folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ot {

std::unique_ptr<ByteSource> DiskFolder::OpenForReading(const std::string& name, int& error) {
  int fd = ::open((dir_ / name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  // Linux lets a directory be opened for reading; it is no text file.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FdSource>(fd, true);
}

std::unique_ptr<ByteSink> DiskFolder::OpenForWriting(const std::string& name, int& error) {
  int fd = ::open((dir_ / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  return std::make_unique<FdSink>(fd, true);
}

void DiskFolder::Remove(const std::string& name) {
  ::unlink((dir_ / name).c_str());  // never a directory; failure ignored
}

}  // namespace ot
