// Where the CSV reader takes its bytes from: a data file on disk, or text in
// memory for tests.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace ot::import {

class ChunkSource {
 public:
  virtual ~ChunkSource() = default;
  // Reads up to `size` bytes into `data`; returns how many, 0 at the end.
  // A read error is an import failure.
  virtual std::size_t Read(char* data, std::size_t size) = 0;
};

// Text in memory, handed out at most `chunk` bytes at a time so that tests
// reach lines and fields that span reads.
class StringChunks : public ChunkSource {
 public:
  explicit StringChunks(std::string text, std::size_t chunk = 1 << 16)
      : text_(std::move(text)), chunk_(std::max<std::size_t>(chunk, 1)) {}
  std::size_t Read(char* data, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, text_.size() - pos_});
    std::memcpy(data, text_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  std::string text_;
  std::size_t pos_ = 0;
  std::size_t chunk_;
};

}  // namespace ot::import
