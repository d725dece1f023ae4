// The run: the console dialogue and the fixed sequence of steps that turn a
// survey folder's Input.txt and AllPictures.txt into OccasionTallies.txt.
#pragma once

#include <cstdint>
#include <limits>
#include <ostream>

#include "run/run_observer.h"
#include "textio/byte_stream.h"
#include "textio/folder.h"

namespace ot {

// The memory a scan of the picture log may take for its species' tables
// unless told otherwise.
inline constexpr std::uint64_t kDefaultScanMemory = std::uint64_t{256} << 20;

struct RunEnvironment {
  Folder& folder;          // the survey folder; every file name resolves in it
  ByteSource& console_in;  // the two answers and the final Enter
  ByteSink& console_out;   // the dialogue
  std::ostream& warnings;  // standard error, for skipped-picture warnings
  // Largest matrix allocation, in bytes, before the memory failure.
  std::uint64_t memory_limit = std::numeric_limits<std::uint64_t>::max();
  // Given answers replace the dialogue: no prompts are shown, nothing is
  // read from the console, and the run ends without waiting for Enter.
  const RunAnswers* answers = nullptr;
  RunObserver* observer = nullptr;  // told of the run's steps when set
  // Bytes the per-species tables of one scan of AllPictures.txt may take; a
  // survey whose species need more is scanned in batches of at least one
  // species. Never the cause of a failure: a batch that cannot be had is
  // made smaller. 0 makes no batches: each species is then tallied on its
  // own at its turn, through SpeciesPics.txt, the reference the batches are
  // checked against.
  std::uint64_t scan_memory = kDefaultScanMemory;
};

// Runs the whole program once. Returns after a normal end (exit status 0);
// any failure is thrown as a RunFailure carrying its diagnostic, with the
// files left as they stand.
void RunOccasionTallies(const RunEnvironment& env);

}  // namespace ot
