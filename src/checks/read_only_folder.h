// A folder that can be read but never changed: what `check` works through,
// so that no path in it can create, empty or remove a file.
#pragma once

#include <memory>
#include <string>

#include "textio/folder.h"

namespace ot::checks {

class ReadOnlyFolder : public Folder {
 public:
  // Reads through `folder`, which the caller keeps.
  explicit ReadOnlyFolder(Folder& folder) : folder_(folder) {}
  std::unique_ptr<ByteSource> OpenForReading(const std::string& name, int& error) override;
  // Always refused with EROFS; nothing is created or emptied.
  std::unique_ptr<ByteSink> OpenForWriting(const std::string& name, int& error) override;
  // Does nothing.
  void Remove(const std::string& name) override;

 private:
  Folder& folder_;
};

}  // namespace ot::checks
