// File access by name within one working directory, behind a small
// interface so that the run can be pointed at any folder.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "textio/byte_stream.h"

namespace ot {

class Folder {
 public:
  virtual ~Folder() = default;
  // Opens an existing file for reading. Returns nullptr and sets `error` to
  // an errno value when the file is missing or is a directory (EISDIR).
  virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& name, int& error) = 0;
  // Creates the file, or empties an existing one, for writing. Returns
  // nullptr and sets `error` on failure.
  virtual std::unique_ptr<ByteSink> OpenForWriting(const std::string& name, int& error) = 0;
  // Removes the file; a failure is ignored.
  virtual void Remove(const std::string& name) = 0;
};

// A directory on disk; names resolve against it.
class DiskFolder : public Folder {
 public:
  explicit DiskFolder(std::filesystem::path dir) : dir_(std::move(dir)) {}
  std::unique_ptr<ByteSource> OpenForReading(const std::string& name, int& error) override;
  std::unique_ptr<ByteSink> OpenForWriting(const std::string& name, int& error) override;
  void Remove(const std::string& name) override;

 private:
  std::filesystem::path dir_;
};

}  // namespace ot
