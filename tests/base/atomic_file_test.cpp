// The atomic file where it can go wrong: whatever is planted at its
// temporary name, a target it must not replace, a folder in the way, a
// write the system refuses, an object that goes before it is put in place.
// The tests run as root too, where permissions stop nothing, so what must
// not be written through is a link or a folder rather than a read-only file.
#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "support/test_support.h"

namespace ot {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

// The failure `action` throws, or a failure of the test when it throws none.
RunFailure FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunFailure& failure) {
    return failure;
  }
  ADD_FAILURE() << "no failure";
  return RunFailure({});
}

void WriteFile(const fs::path& path, std::string_view content) {
  std::ofstream(path, std::ios::binary) << content;
}

// The temporary name an AtomicFile for `target` takes first.
fs::path FirstTemporary(const fs::path& target) {
  const AtomicFile probe(target);
  return probe.temporary();
}

TEST(AtomicFile, WritesEveryByteInAnyPiecesWithTheModeOfANewFile) {
  constexpr std::size_t kMebibyte = 1 << 20;
  const struct {
    const char* what;
    std::vector<std::size_t> pieces;
    mode_t umask;
    bool earlier_file;
  } cases[] = {
      {"nothing", {}, 022, false},
      {"small pieces", {1, 0, 7, 3}, 022, false},
      {"a piece that fills the buffer", {kMebibyte - 1, 1, 5}, 027, true},
      {"pieces larger than the buffer", {3, kMebibyte, kMebibyte + 5, 2}, 077, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const fs::path target = folder.path() / "out.txt";
    if (c.earlier_file) {
      folder.Write("out.txt", "an earlier file");
      fs::permissions(target, fs::perms::owner_read);
    }
    std::string expected;
    const mode_t before = ::umask(c.umask);
    {
      AtomicFile file(target);
      for (std::size_t size : c.pieces) {
        std::string piece(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
          piece[i] = static_cast<char>('a' + (expected.size() + i) % 26);
        file.Write(piece);
        expected += piece;
      }
      file.PutInPlace();
    }
    ::umask(before);
    EXPECT_EQ(folder.Read("out.txt"), expected);
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~c.umask);
    EXPECT_EQ(folder.Listing(), "out.txt");
  }
}

TEST(AtomicFile, WhatIsPlantedAtTheTemporaryNameIsNeverWrittenThrough) {
  const struct {
    const char* what;
    std::function<void(const fs::path& at, const fs::path& elsewhere)> plant;
  } cases[] = {
      {"a file", [](const fs::path& at, const fs::path&) { WriteFile(at, "planted"); }},
      {"a link to a file elsewhere",
       [](const fs::path& at, const fs::path& elsewhere) {
         fs::create_symlink(elsewhere / "victim", at);
       }},
      {"a link to a name elsewhere that is free",
       [](const fs::path& at, const fs::path& elsewhere) {
         fs::create_symlink(elsewhere / "free", at);
       }},
      {"a folder", [](const fs::path& at, const fs::path&) { fs::create_directory(at); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    ScratchFolder elsewhere;
    elsewhere.Write("victim", "victim");
    const fs::path target = folder.path() / "out.txt";
    const fs::path planted = FirstTemporary(target);
    c.plant(planted, elsewhere.path());
    const auto planted_status = fs::symlink_status(planted).type();
    {
      AtomicFile file(target);
      EXPECT_NE(file.temporary(), planted);
      EXPECT_EQ(file.temporary().parent_path(), folder.path());
      EXPECT_EQ(file.temporary().filename().string().front(), '.');
      file.Write("new");
      file.PutInPlace();
    }
    EXPECT_EQ(folder.Read("out.txt"), "new");
    EXPECT_EQ(fs::symlink_status(planted).type(), planted_status);
    if (planted_status == fs::file_type::regular) {
      EXPECT_EQ(folder.Read(planted.filename().string()), "planted");
    }
    EXPECT_EQ(elsewhere.Read("victim"), "victim");
    EXPECT_EQ(elsewhere.Listing(), "victim");
    EXPECT_EQ(folder.Listing(), planted.filename().string() + " out.txt");
  }
}

TEST(AtomicFile, PutsInPlaceWithoutReplacingOnlyWhereNothingIs) {
  const struct {
    const char* what;
    std::function<void(const ScratchFolder&)> prepare;
    bool placed;
    std::string listing;
  } cases[] = {
      {"nothing there", [](const ScratchFolder&) {}, true, "out.txt"},
      {"a file", [](const ScratchFolder& f) { f.Write("out.txt", "mine"); }, false, "out.txt"},
      {"a link that leads nowhere",
       [](const ScratchFolder& f) { fs::create_symlink(f.path() / "gone", f.path() / "out.txt"); },
       false, "out.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    c.prepare(folder);
    const auto before = fs::symlink_status(folder.path() / "out.txt").type();
    {
      AtomicFile file(folder.path() / "out.txt");
      file.Write("new");
      EXPECT_EQ(file.PutInPlaceIfAbsent(), c.placed);
    }
    EXPECT_EQ(folder.Listing(), c.listing);
    if (c.placed) {
      EXPECT_EQ(folder.Read("out.txt"), "new");
    } else {
      EXPECT_EQ(fs::symlink_status(folder.path() / "out.txt").type(), before);
      if (before == fs::file_type::regular) {
        EXPECT_EQ(folder.Read("out.txt"), "mine");
      }
    }
  }
}

TEST(AtomicFile, AnUnfinishedFileLeavesNothingAndAFinishedOneWaitsUnseen) {
  constexpr std::size_t kMoreThanTheBuffer = (1 << 20) + 10;
  ScratchFolder folder;
  folder.Write("kept.txt", "as it was");
  {
    AtomicFile file(folder.path() / "kept.txt");
    file.Write(std::string(kMoreThanTheBuffer, 'x'));
  }
  {
    AtomicFile first(folder.path() / "a.txt");
    AtomicFile second(folder.path() / "b.txt");
    first.Write("a");
    second.Write("b");
    first.Finish();
    second.Finish();
    // Both finished, neither in place: a reader sees neither.
    EXPECT_FALSE(folder.Exists("a.txt"));
    EXPECT_FALSE(folder.Exists("b.txt"));
    first.PutInPlace();
  }
  EXPECT_EQ(folder.Read("kept.txt"), "as it was");
  EXPECT_EQ(folder.Read("a.txt"), "a");
  EXPECT_EQ(folder.Listing(), "a.txt kept.txt");
}

TEST(AtomicFile, EachFailureIsOneWordedLineAndLeavesNoTemporary) {
  const AtomicFileWording export_wording{.context = "CSV export failed: "};
  const AtomicFileWording report_wording{
      .writing = "write the report", .placing = "write the report", .exit_status = 3};
  const struct {
    const char* what;
    std::function<void(const ScratchFolder&)> prepare;
    std::string name;
    const AtomicFileWording* wording;
    std::function<void(AtomicFile&)> use;
    int error;
    std::string message;  // <dir>: the scratch folder
    std::string listing;
  } cases[] = {
      {"a folder at the target",
       [](const ScratchFolder& f) { fs::create_directories(f.path() / "out.txt" / "in"); },
       "out.txt", &export_wording, nullptr, EISDIR,
       "CSV export failed: cannot replace <dir>/out.txt: Is a directory", "out.txt"},
      {"a missing folder", [](const ScratchFolder&) {}, "missing/out.txt", &report_wording, nullptr,
       ENOENT, "cannot write the report <dir>/missing/out.txt: No such file or directory", ""},
      {"a folder put at the target after the file was begun", [](const ScratchFolder&) {},
       "out.txt", &export_wording,
       [](AtomicFile& file) {
         fs::create_directories(file.target() / "in");
         file.PutInPlace();
       },
       EISDIR, "CSV export failed: cannot replace <dir>/out.txt: Is a directory", "out.txt"},
      {"a write the system refuses", [](const ScratchFolder&) {}, "out.txt", &report_wording,
       [](AtomicFile& file) {
         // Files may grow to 1 KiB only; SIGXFSZ ignored turns the excess into EFBIG.
         const rlimit small{1024, RLIM_INFINITY};
         rlimit before{};
         ::getrlimit(RLIMIT_FSIZE, &before);
         const auto handler = std::signal(SIGXFSZ, SIG_IGN);
         ::setrlimit(RLIMIT_FSIZE, &small);
         try {
           file.Write(std::string(4096, 'x'));
           file.Finish();
         } catch (...) {
           ::setrlimit(RLIMIT_FSIZE, &before);
           std::signal(SIGXFSZ, handler);
           throw;
         }
         ::setrlimit(RLIMIT_FSIZE, &before);
         std::signal(SIGXFSZ, handler);
       },
       EFBIG, "cannot write the report <dir>/out.txt: File too large", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    c.prepare(folder);
    const RunFailure failure = FailureOf([&] {
      AtomicFile file(folder.path() / c.name, *c.wording);
      if (c.use) c.use(file);
    });
    EXPECT_EQ(failure.kind(), FailureKind::kSystem);
    EXPECT_EQ(failure.facts().system_error, c.error);
    EXPECT_EQ(failure.facts().file, (folder.path() / c.name).string());
    EXPECT_EQ(failure.exit_status(), c.wording->exit_status);
    std::string text = failure.diagnostic();
    const std::string dir = folder.path().string();
    if (const std::size_t at = text.find(dir); at != std::string::npos)
      text.replace(at, dir.size(), "<dir>");
    EXPECT_EQ(text, "OccasionTallies: " + c.message + "\n");
    EXPECT_EQ(folder.Listing(), c.listing);
  }
}

}  // namespace
}  // namespace ot
