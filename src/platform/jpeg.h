#pragma once
// JPEG pictures through libjpeg. Decoding never aborts the program: bad data gives an
// empty image (or, for a truncated file, what could be decoded).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// An 8-bit RGB picture, rows top to bottom, three bytes a pixel.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3
  bool empty() const { return width <= 0 || height <= 0; }
};

// Limits that keep a hostile file from exhausting memory or time.
struct JpegLimits {
  std::int64_t maxSourcePixels = 200'000'000;  // header dimensions beyond this: no picture
  std::int64_t maxOutputPixels = 40'000'000;   // after DCT scaling
  long maxDecoderMemory = 512L * 1024 * 1024;  // libjpeg's own working memory
  int maxProgressiveScans = 200;
};

// Decodes a JPEG. With a positive target size the decoder scales by the DCT (1/8 to
// 8/8) to the smallest output that still covers the target in both directions, so a
// 12-megapixel photo shown in a 106 x 65 box decodes at a fraction of the cost.
// Greyscale and CMYK (including Adobe's inverted CMYK) come out as RGB.
RgbImage decodeJpeg(std::string_view bytes, int targetWidth = 0, int targetHeight = 0,
                    const JpegLimits& limits = {});

// The width and height in the file's header, without decoding; {0, 0} when unreadable.
struct JpegSize {
  int width = 0;
  int height = 0;
};
JpegSize readJpegSize(std::string_view bytes);

// Encodes an RGB image as a baseline JPEG; empty output on failure.
std::string encodeJpeg(const RgbImage& image, int quality = 90);

}  // namespace zv
