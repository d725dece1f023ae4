// Small palette images for the report, embedded as PNG data URIs: a heat
// map or the chart's picture marks become one image element of one pixel
// per cell, however many cells there are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ot::report {

struct Rgba {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 255;
};

// A width x height image whose pixels index into `palette` (at most 256
// colours), row by row from the top.
struct PaletteImage {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::vector<Rgba> palette;
  std::vector<std::uint8_t> pixels;

  PaletteImage(std::int64_t w, std::int64_t h, std::vector<Rgba> colours)
      : width(w),
        height(h),
        palette(std::move(colours)),
        pixels(static_cast<std::size_t>(w * h), 0) {}
  std::uint8_t& at(std::int64_t x, std::int64_t y) {
    return pixels[static_cast<std::size_t>(y * width + x)];
  }
};

// "data:image/png;base64,..." for `image`, which must be at least 1 x 1
// and hold only indices into its palette. Throws std::bad_alloc when zlib
// runs out of memory.
std::string PngDataUri(const PaletteImage& image);

// `bytes` in base64 with padding.
std::string Base64(const std::string& bytes);

}  // namespace ot::report
