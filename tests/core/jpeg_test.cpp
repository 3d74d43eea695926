#include "platform/jpeg.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace zv {
namespace {

using Rgb = std::array<int, 3>;

Rgb pixelAt(const RgbImage& image, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 3;
  return {image.pixels[i], image.pixels[i + 1], image.pixels[i + 2]};
}

void expectNear(const Rgb& actual, const Rgb& expected, int tolerance, const char* what) {
  for (int c = 0; c < 3; ++c)
    EXPECT_NEAR(actual[c], expected[c], tolerance) << what << " channel " << c;
}

RgbImage makeImage(int width, int height, Rgb (*colourAt)(int x, int y, int w, int h)) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgb c = colourAt(x, y, width, height);
      const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
      for (int k = 0; k < 3; ++k) image.pixels[i + k] = static_cast<std::uint8_t>(c[k]);
    }
  return image;
}

Rgb gradient(int x, int y, int w, int h) {
  return {x * 255 / w, y * 255 / h, 255 - (x + y) * 255 / (w + h)};
}

// Red, green, blue and white quadrants.
constexpr std::array<Rgb, 4> kQuadrantColours = {Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255},
                                                 Rgb{255, 255, 255}};
constexpr std::array<std::array<int, 2>, 4> kQuadrantCentres = {
    std::array<int, 2>{16, 16}, {48, 16}, {16, 48}, {48, 48}};
int quadrantOf(int x, int y) { return (x >= 32 ? 1 : 0) + (y >= 32 ? 2 : 0); }

// Encodes raw samples with options the program's own encoder does not offer.
struct RawJpeg {
  int width = 64;
  int height = 64;
  int components = 3;
  J_COLOR_SPACE input = JCS_RGB;
  J_COLOR_SPACE stored = JCS_YCbCr;
  bool adobeMarker = true;
  bool progressive = false;
};

std::string encodeRaw(const RawJpeg& opt, const std::vector<std::uint8_t>& samples) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(opt.width);
  cinfo.image_height = static_cast<JDIMENSION>(opt.height);
  cinfo.input_components = opt.components;
  cinfo.in_color_space = opt.input;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, opt.stored);
  cinfo.write_Adobe_marker = opt.adobeMarker ? TRUE : FALSE;
  jpeg_set_quality(&cinfo, 95, TRUE);
  if (opt.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t stride = static_cast<std::size_t>(opt.width) * opt.components;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<std::uint8_t*>(samples.data()) + cinfo.next_scanline * stride;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return out;
}

std::string encodeProgressive(const RgbImage& image) {
  RawJpeg opt;
  opt.width = image.width;
  opt.height = image.height;
  opt.progressive = true;
  return encodeRaw(opt, image.pixels);
}

// Offset just past the marker segment with the given code, or npos.
std::size_t endOfSegment(const std::string& jpeg, unsigned char code) {
  std::size_t i = 2;  // after SOI
  while (i + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[i]) == 0xFF) {
    const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
    const std::size_t length =
        (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
    if (marker == code) return i + 2 + length;
    i += 2 + length;
  }
  return std::string::npos;
}

// An otherwise valid 8 x 8 file whose frame header claims another size.
std::string withClaimedSize(int width, int height) {
  std::string jpeg = encodeJpeg(makeImage(8, 8, gradient));
  const std::size_t sofEnd = endOfSegment(jpeg, 0xC0);
  EXPECT_NE(sofEnd, std::string::npos);
  std::size_t start = 0;
  for (std::size_t i = 2; i < sofEnd; ++i)
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
        static_cast<unsigned char>(jpeg[i + 1]) == 0xC0)
      start = i;
  // FF C0, length (2), precision (1), height (2), width (2)
  jpeg[start + 5] = static_cast<char>(height >> 8);
  jpeg[start + 6] = static_cast<char>(height & 0xFF);
  jpeg[start + 7] = static_cast<char>(width >> 8);
  jpeg[start + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

TEST(Jpeg, RoundTripKeepsSizeAndColours) {
  const RgbImage original = makeImage(97, 61, gradient);  // not a multiple of the MCU
  const std::string jpeg = encodeJpeg(original, 95);
  ASSERT_FALSE(jpeg.empty());
  EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");

  const JpegSize size = readJpegSize(jpeg);
  EXPECT_EQ(size.width, 97);
  EXPECT_EQ(size.height, 61);

  const RgbImage decoded = decodeJpeg(jpeg);
  ASSERT_EQ(decoded.width, 97);
  ASSERT_EQ(decoded.height, 61);
  ASSERT_EQ(decoded.pixels.size(), original.pixels.size());
  long totalError = 0;
  for (std::size_t i = 0; i < original.pixels.size(); ++i)
    totalError += std::abs(decoded.pixels[i] - original.pixels[i]);
  EXPECT_LT(static_cast<double>(totalError) / original.pixels.size(), 3.0);
}

TEST(Jpeg, EncodeRejectsInconsistentImages) {
  RgbImage none;
  EXPECT_TRUE(encodeJpeg(none).empty());
  RgbImage shortPixels = makeImage(4, 4, gradient);
  shortPixels.pixels.pop_back();
  EXPECT_TRUE(encodeJpeg(shortPixels).empty());
}

TEST(Jpeg, DctScalingPicksSmallestCoveringSize) {
  const std::string photo = encodeJpeg(makeImage(1600, 1200, gradient), 80);
  const std::string odd = encodeJpeg(makeImage(1001, 601, gradient), 80);
  const std::string small = encodeJpeg(makeImage(50, 30, gradient), 80);
  struct Case {
    const std::string* jpeg;
    int targetW, targetH, wantW, wantH;
  };
  const Case cases[] = {
      {&photo, 0, 0, 1600, 1200},       {&photo, 106, 65, 200, 150},
      {&photo, 400, 100, 400, 300},     {&photo, 800, 600, 800, 600},
      {&photo, 801, 600, 1000, 750},    {&photo, 201, 151, 400, 300},
      {&photo, 0, 65, 1600, 1200},      {&photo, 2000, 2000, 1600, 1200},
      {&photo, 1600, 1200, 1600, 1200}, {&odd, 106, 65, 126, 76},
      {&small, 106, 65, 50, 30},
  };
  for (const Case& c : cases) {
    const RgbImage image = decodeJpeg(*c.jpeg, c.targetW, c.targetH);
    EXPECT_EQ(image.width, c.wantW) << c.targetW << "x" << c.targetH;
    EXPECT_EQ(image.height, c.wantH) << c.targetW << "x" << c.targetH;
    EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(c.wantW) * c.wantH * 3);
  }
}

TEST(Jpeg, ScaledDecodeKeepsColours) {
  const RgbImage patches =
      makeImage(64, 64, [](int x, int y, int, int) { return kQuadrantColours[quadrantOf(x, y)]; });
  const RgbImage half = decodeJpeg(encodeJpeg(patches, 95), 32, 32);
  ASSERT_EQ(half.width, 32);
  for (int q = 0; q < 4; ++q)
    expectNear(pixelAt(half, kQuadrantCentres[q][0] / 2, kQuadrantCentres[q][1] / 2),
               kQuadrantColours[q], 16, "scaled quadrant");
}

TEST(Jpeg, GreyscaleComesOutAsRgb) {
  constexpr std::array<int, 4> levels = {0, 80, 160, 255};
  RawJpeg opt;
  opt.components = 1;
  opt.input = JCS_GRAYSCALE;
  opt.stored = JCS_GRAYSCALE;
  std::vector<std::uint8_t> samples(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) samples[y * 64 + x] = levels[quadrantOf(x, y)];
  const RgbImage image = decodeJpeg(encodeRaw(opt, samples));
  ASSERT_EQ(image.width, 64);
  ASSERT_EQ(image.pixels.size(), 64u * 64 * 3);
  for (int q = 0; q < 4; ++q) {
    const int v = levels[q];
    expectNear(pixelAt(image, kQuadrantCentres[q][0], kQuadrantCentres[q][1]), {v, v, v}, 4,
               "grey quadrant");
  }
}

TEST(Jpeg, CmykFilesComeOutInTheirColours) {
  // Ink amounts, 255 = full ink, for the red, green, blue and white quadrants.
  constexpr std::array<std::array<int, 4>, 4> inks = {
      std::array<int, 4>{0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 0}};
  struct Case {
    const char* name;
    J_COLOR_SPACE stored;
    bool adobe;  // Adobe's files store 255 - ink
  };
  const Case cases[] = {
      {"Adobe CMYK", JCS_CMYK, true},
      {"plain CMYK", JCS_CMYK, false},
      {"Adobe YCCK", JCS_YCCK, true},
  };
  for (const Case& c : cases) {
    RawJpeg opt;
    opt.components = 4;
    opt.input = JCS_CMYK;
    opt.stored = c.stored;
    opt.adobeMarker = c.adobe;
    std::vector<std::uint8_t> samples(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        for (int k = 0; k < 4; ++k) {
          const int ink = inks[quadrantOf(x, y)][k];
          samples[(y * 64 + x) * 4 + k] = static_cast<std::uint8_t>(c.adobe ? 255 - ink : ink);
        }
    const RgbImage image = decodeJpeg(encodeRaw(opt, samples));
    ASSERT_EQ(image.width, 64) << c.name;
    for (int q = 0; q < 4; ++q)
      expectNear(pixelAt(image, kQuadrantCentres[q][0], kQuadrantCentres[q][1]),
                 kQuadrantColours[q], 12, c.name);
  }
}

TEST(Jpeg, ProgressiveFileDecodes) {
  const RgbImage original = makeImage(200, 150, gradient);
  const RgbImage image = decodeJpeg(encodeProgressive(original));
  ASSERT_EQ(image.width, 200);
  ASSERT_EQ(image.height, 150);
  for (const auto& [x, y] : {std::array<int, 2>{10, 10}, {190, 20}, {100, 140}})
    expectNear(pixelAt(image, x, y), pixelAt(original, x, y), 10, "progressive");
}

TEST(Jpeg, UnreadableDataGivesNothing) {
  std::mt19937 random(12345);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  std::string noiseAfterSoi = "\xFF\xD8" + noise;
  const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + noise.substr(0, 64);
  const std::string good = encodeJpeg(makeImage(64, 48, gradient));
  const std::string cutInFrameHeader = good.substr(0, endOfSegment(good, 0xC0) - 4);

  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"random bytes", noise},
      {"random bytes after SOI", noiseAfterSoi},
      {"PNG signature", png},
      {"SOI only", "\xFF\xD8"},
      {"cut in the frame header", cutInFrameHeader},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(decodeJpeg(c.bytes).empty()) << c.name;
    EXPECT_TRUE(decodeJpeg(c.bytes, 10, 10).empty()) << c.name;
    const JpegSize size = readJpegSize(c.bytes);
    EXPECT_EQ(size.width, 0) << c.name;
    EXPECT_EQ(size.height, 0) << c.name;
  }
}

TEST(Jpeg, FileCutAfterTheHeadersGivesBlankPictureOfTheRightSize) {
  const std::string good = encodeJpeg(makeImage(64, 48, gradient));
  const std::size_t sosEnd = endOfSegment(good, 0xDA);
  ASSERT_NE(sosEnd, std::string::npos);
  const RgbImage image = decodeJpeg(good.substr(0, sosEnd));
  EXPECT_EQ(image.width, 64);
  EXPECT_EQ(image.height, 48);
}

// Mean of one channel over a band of rows.
double bandMean(const RgbImage& image, int firstRow, int rows, int channel) {
  double sum = 0;
  for (int y = firstRow; y < firstRow + rows; ++y)
    for (int x = 0; x < image.width; ++x) sum += pixelAt(image, x, y)[channel];
  return sum / (static_cast<double>(rows) * image.width);
}

TEST(Jpeg, FileCutInTheMiddleKeepsWhatArrived) {
  // Busy content, so that scan data (not tables) fills the file.
  const RgbImage bluish = makeImage(256, 256, [](int x, int y, int, int) {
    const unsigned v = static_cast<unsigned>(x * 7919 + y * 104729) * 2654435761u;
    return Rgb{static_cast<int>(v >> 26), static_cast<int>((v >> 20) & 63),
               192 + static_cast<int>((v >> 10) & 63)};
  });
  const auto halfOfTheData = [](const std::string& jpeg) {
    const std::size_t start = endOfSegment(jpeg, 0xDA);
    return jpeg.substr(0, start + (jpeg.size() - start) / 2);
  };

  const RgbImage top = decodeJpeg(halfOfTheData(encodeJpeg(bluish, 90)));
  ASSERT_EQ(top.width, 256);
  ASSERT_EQ(top.height, 256);
  // Baseline data arrives row by row: the top is there, the bottom is not.
  EXPECT_GT(bandMean(top, 0, 16, 2), 200);
  EXPECT_LT(bandMean(top, 240, 16, 2), 170);

  // A progressive file starts with a coarse scan of the whole picture.
  const RgbImage coarse = decodeJpeg(halfOfTheData(encodeProgressive(bluish)));
  ASSERT_EQ(coarse.width, 256);
  ASSERT_EQ(coarse.height, 256);
  EXPECT_GT(bandMean(coarse, 240, 16, 2), 200);
}

TEST(Jpeg, HugeClaimedSizeIsRefusedBeforeAllocating) {
  const std::string huge = withClaimedSize(65000, 65000);
  const JpegSize size = readJpegSize(huge);
  EXPECT_EQ(size.width, 65000);
  EXPECT_EQ(size.height, 65000);
  EXPECT_TRUE(decodeJpeg(huge).empty());
  EXPECT_TRUE(decodeJpeg(huge, 106, 65).empty());
  // Under the source limit but too big to show at full size.
  EXPECT_TRUE(decodeJpeg(withClaimedSize(10000, 8000)).empty());
}

TEST(Jpeg, LimitsAreEnforced) {
  const RgbImage picture = makeImage(512, 512, gradient);
  const std::string baseline = encodeJpeg(picture);
  const std::string progressive = encodeProgressive(picture);
  struct Case {
    const char* name;
    const std::string* jpeg;
    JpegLimits limits;
    int targetW;
    bool decodes;
  };
  JpegLimits defaults;
  JpegLimits fewSource;
  fewSource.maxSourcePixels = 512 * 512 - 1;
  JpegLimits fewOutput;
  fewOutput.maxOutputPixels = 100 * 100;
  JpegLimits fewScans;
  fewScans.maxProgressiveScans = 3;
  JpegLimits littleMemory;
  littleMemory.maxDecoderMemory = 64 * 1024;
  const Case cases[] = {
      {"defaults, progressive", &progressive, defaults, 0, true},
      {"source pixels", &baseline, fewSource, 64, false},
      {"output pixels at full size", &baseline, fewOutput, 0, false},
      {"output pixels after scaling", &baseline, fewOutput, 64, true},
      {"progressive scans", &progressive, fewScans, 0, false},
      {"scans do not limit baseline files", &baseline, fewScans, 0, true},
      // A progressive file needs a coefficient buffer for the whole picture.
      {"decoder memory", &progressive, littleMemory, 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(!decodeJpeg(*c.jpeg, c.targetW, c.targetW, c.limits).empty(), c.decodes) << c.name;
}

}  // namespace
}  // namespace zv
