// A data file read through zlib, so that a gzip-compressed file reads the
// same as a plain one.
#pragma once

#include <filesystem>
#include <string>

#include "import/chunk_source.h"

struct gzFile_s;

namespace ot::import {

class DataFile : public ChunkSource {
 public:
  // Opens `path`, failing with a message that names the file as `shown`.
  // A name ending in ".gz" must hold gzip data; other files may hold either.
  DataFile(const std::filesystem::path& path, std::string shown);
  ~DataFile() override;
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  std::size_t Read(char* data, std::size_t size) override;

 private:
  gzFile_s* file_ = nullptr;
  std::string shown_;
  bool must_be_gzip_ = false;
  bool checked_ = false;
};

}  // namespace ot::import
