// A file written under a temporary name beside its final name and put in
// place by a rename, so that no reader ever sees it half written and a
// failed export leaves an older file of that name as it was.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "textio/byte_stream.h"

namespace ot {

class ReplacementFile {
 public:
  // Creates the temporary file, a hidden name beside `path` that holds the
  // process id, with the permissions a new file gets (0666 less the umask).
  // The folder must exist; a folder of the final name is refused here.
  // Failures go through ReportExportFailure.
  explicit ReplacementFile(std::filesystem::path path);
  // Removes the temporary file unless it was put in place.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Adds bytes; they are handed to the system a megabyte at a time.
  void Append(std::string_view bytes);
  // Hands on what is held, syncs the file to disk, closes it and lets its
  // buffer go.
  void Finish();
  // Renames the finished temporary file to the final name, replacing a file
  // of that name.
  void PutInPlace();

  const std::filesystem::path& path() const { return path_; }

 private:
  void HandOn();

  std::filesystem::path path_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  std::unique_ptr<FdSink> sink_;
  std::string held_;
  bool in_place_ = false;
};

}  // namespace ot
