#include "checks/read_only_folder.h"

#include <cerrno>

namespace ot::checks {

std::unique_ptr<ByteSource> ReadOnlyFolder::OpenForReading(const std::string& name, int& error) {
  return folder_.OpenForReading(name, error);
}

std::unique_ptr<ByteSink> ReadOnlyFolder::OpenForWriting(const std::string& /*name*/, int& error) {
  error = EROFS;
  return nullptr;
}

void ReadOnlyFolder::Remove(const std::string& /*name*/) {}

}  // namespace ot::checks
