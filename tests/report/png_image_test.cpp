// The PNG data URIs: read back with zlib, chunk by chunk.
#include "report/png_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace ot::report {
namespace {

TEST(Base64, PadsTheLastGroup) {
  struct {
    const char* bytes;
    const char* text;
  } cases[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(Base64(c.bytes), c.text);
  }
  EXPECT_EQ(Base64(std::string("\xff\xfe\x00", 3)), "//4A");
}

std::string FromBase64(const std::string& text) {
  const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  std::uint32_t group = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    group = group << 6 | static_cast<std::uint32_t>(digits.find(c));
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes += static_cast<char>((group >> bits) & 0xFF);
    }
  }
  return bytes;
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

TEST(PngDataUri, ChunksWithValidChecksumsAndThePixelsRowByRow) {
  PaletteImage image(3, 2, {{255, 0, 0, 255}, {0, 0, 0, 0}, {1, 2, 3, 255}});
  image.at(0, 0) = 2;
  image.at(2, 1) = 1;
  const std::string uri = PngDataUri(image);
  const std::string prefix = "data:image/png;base64,";
  ASSERT_EQ(uri.substr(0, prefix.size()), prefix);
  const std::string png = FromBase64(uri.substr(prefix.size()));
  ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

  std::vector<std::string> types;
  std::string header, palette, alphas, deflated;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = BigEndian(png, at);
    const std::string type = png.substr(at + 4, 4);
    const std::string data = png.substr(at + 8, length);
    const auto* checked = reinterpret_cast<const Bytef*>(png.data() + at + 4);
    EXPECT_EQ(crc32(0, checked, 4 + length), BigEndian(png, at + 8 + length)) << type;
    types.push_back(type);
    if (type == "IHDR") header = data;
    if (type == "PLTE") palette = data;
    if (type == "tRNS") alphas = data;
    if (type == "IDAT") deflated += data;
    at += 12 + length;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));
  EXPECT_EQ(BigEndian(header, 0), 3u);
  EXPECT_EQ(BigEndian(header, 4), 2u);
  EXPECT_EQ(header.substr(8), std::string("\x08\x03\x00\x00\x00", 5));
  EXPECT_EQ(palette, std::string("\xff\x00\x00\x00\x00\x00\x01\x02\x03", 9));
  EXPECT_EQ(alphas, std::string("\xff\x00\xff", 3));

  std::string rows(8, '?');
  uLongf size = rows.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(rows.data()), &size,
                       reinterpret_cast<const Bytef*>(deflated.data()), deflated.size()),
            Z_OK);
  EXPECT_EQ(rows, std::string("\x00\x02\x00\x00\x00\x00\x00\x01", 8));
}

}  // namespace
}  // namespace ot::report
