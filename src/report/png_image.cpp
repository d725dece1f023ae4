#include "report/png_image.h"

#include <zlib.h>

#include <new>

namespace ot::report {
namespace {

void AppendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// A PNG chunk: length, type, data and the CRC of type and data.
void AppendChunk(std::string& png, const char (&type)[5], const std::string& data) {
  AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = png.size();
  png.append(type, 4);
  png += data;
  const auto* bytes = reinterpret_cast<const Bytef*>(png.data() + start);
  AppendBigEndian(png,
                  static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(4 + data.size()))));
}

// The scan lines, each led by filter type 0, deflated.
std::string CompressedRows(const PaletteImage& image) {
  const auto width = static_cast<std::size_t>(image.width);
  std::string raw;
  raw.reserve((width + 1) * static_cast<std::size_t>(image.height));
  for (std::int64_t y = 0; y < image.height; ++y) {
    raw += '\0';
    const auto* row = image.pixels.data() + static_cast<std::size_t>(y) * width;
    raw.append(reinterpret_cast<const char*>(row), width);
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string deflated(size, '\0');
  const int status = compress2(reinterpret_cast<Bytef*>(deflated.data()), &size,
                               reinterpret_cast<const Bytef*>(raw.data()),
                               static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION);
  if (status != Z_OK) throw std::bad_alloc();
  deflated.resize(size);
  return deflated;
}

}  // namespace

std::string Base64(const std::string& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16 |
                                static_cast<std::uint8_t>(bytes[i + 1]) << 8 |
                                static_cast<std::uint8_t>(bytes[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) text += kDigits[(group >> shift) & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (rest == 2) group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
    text += kDigits[(group >> 18) & 63];
    text += kDigits[(group >> 12) & 63];
    text += rest == 2 ? kDigits[(group >> 6) & 63] : '=';
    text += '=';
  }
  return text;
}

std::string PngDataUri(const PaletteImage& image) {
  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(image.width));
  AppendBigEndian(header, static_cast<std::uint32_t>(image.height));
  header += std::string("\x08\x03\x00\x00\x00", 5);  // 8-bit palette, no interlace
  std::string colours;
  std::string alphas;
  for (const Rgba& c : image.palette) {
    colours += {static_cast<char>(c.red), static_cast<char>(c.green), static_cast<char>(c.blue)};
    alphas += static_cast<char>(c.alpha);
  }
  std::string png("\x89PNG\r\n\x1a\n", 8);
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "PLTE", colours);
  AppendChunk(png, "tRNS", alphas);
  AppendChunk(png, "IDAT", CompressedRows(image));
  AppendChunk(png, "IEND", "");
  return "data:image/png;base64," + Base64(png);
}

}  // namespace ot::report
