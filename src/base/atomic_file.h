// A file written under a hidden temporary name beside its target and put in
// place by one rename, so that no reader ever sees it half written and a
// failure leaves a file of the target's name as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/exit_status.h"

namespace ot {

// How an AtomicFile's failures read: the one line
// "OccasionTallies: <context>cannot <doing> <target>: <the system's reason>",
// <doing> being `writing` for creating, writing, syncing and closing the
// temporary file and `placing` for putting it in place (and for a folder
// found at the target), with `exit_status`.
struct AtomicFileWording {
  std::string_view context{};
  std::string_view writing = "write";
  std::string_view placing = "replace";
  int exit_status = kExitToolFailed;
};

class AtomicFile {
 public:
  // Creates the temporary file beside `target`: a hidden name that holds
  // the process id, created exclusively (a file, a folder or a symbolic
  // link planted there is never written through; the next name is taken)
  // with the permissions a new file gets (0666 less the umask). The folder
  // must exist; a folder at the target (or a link to one) is refused here,
  // before anything is written. Every failure throws a RunFailure of kind
  // kSystem worded by `wording`.
  explicit AtomicFile(std::filesystem::path target, const AtomicFileWording& wording = {});
  // Removes the temporary file unless it was put in place.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Adds bytes (before Finish); they are handed to the system a megabyte at
  // a time.
  void Write(std::string_view bytes);
  // Hands on what is held, syncs the file to disk, closes it and lets its
  // buffer go; the file waits under its temporary name. Does nothing when
  // finished already.
  void Finish();
  // Finishes the file, then renames it to the target, replacing a file of
  // that name (a symbolic link there is replaced, not followed).
  void PutInPlace();
  // As PutInPlace, but only when nothing of the target's name exists,
  // found and put in place as one step; returns false, leaving the
  // temporary file to go with the object, when something does.
  [[nodiscard]] bool PutInPlaceIfAbsent();

  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& temporary() const { return temporary_; }

 private:
  [[noreturn]] void Fail(std::string_view doing, int error) const;
  void WriteAll(std::string_view bytes);

  std::filesystem::path target_;
  std::string context_;
  std::string writing_;
  std::string placing_;
  int exit_status_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  std::string held_;
  bool in_place_ = false;
};

}  // namespace ot
