#include "platform/jpeg.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

// libjpeg reports fatal errors by calling error_exit, which must not return. We leave
// through longjmp, so every function that calls setjmp below keeps its state in a
// struct owned by its caller and has no objects with destructors of its own: nothing
// is skipped when the jump unwinds the libjpeg frames.

namespace zv {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so a j_common_ptr's err converts back to us
  std::jmp_buf jump;
};

[[noreturn]] void onErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void onOutputMessage(j_common_ptr) {}

// Warnings (corrupt data, premature end) are only counted: the decoder carries on and
// the picture shows whatever it recovered.
void onEmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) ++cinfo->err->num_warnings;
}

void installErrorManager(jpeg_common_struct& cinfo, ErrorManager& err) {
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onErrorExit;
  err.pub.output_message = onOutputMessage;
  err.pub.emit_message = onEmitMessage;
}

struct ProgressMonitor {
  jpeg_progress_mgr pub;  // first, for the same reason as in ErrorManager
  int maxScans;
};

// A progressive file may hold any number of scans, each of which costs a pass over the
// whole coefficient buffer; a crafted file with thousands of tiny scans would otherwise
// keep the decoder busy for minutes.
void onProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* monitor = reinterpret_cast<ProgressMonitor*>(cinfo->progress);
  auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (dinfo->input_scan_number > monitor->maxScans) onErrorExit(cinfo);
}

struct Decoder {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  ProgressMonitor progress;
  bool created = false;
  bool started = false;  // output dimensions fixed and the image allocated
  int rowsDone = 0;
  RgbImage image;
  std::vector<std::uint8_t> cmykRow;
};

// Picks the smallest N/8 scale whose output still covers the target in both directions;
// without a full target size the picture decodes at its own size.
void chooseScale(jpeg_decompress_struct& cinfo, int targetWidth, int targetHeight) {
  cinfo.scale_num = 8;
  cinfo.scale_denom = 8;
  if (targetWidth > 0 && targetHeight > 0) {
    for (unsigned n = 1; n <= 8; ++n) {
      cinfo.scale_num = n;
      jpeg_calc_output_dimensions(&cinfo);
      if (cinfo.output_width >= static_cast<JDIMENSION>(targetWidth) &&
          cinfo.output_height >= static_cast<JDIMENSION>(targetHeight))
        return;
    }
  }
  jpeg_calc_output_dimensions(&cinfo);
}

void cmykRowToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    // Inverted files store 255 for "no ink"; convert plain files to that form first.
    unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    rgb[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
    rgb[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
    rgb[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
  }
}

// Returns whether d.image holds something worth showing.
bool runDecoder(Decoder& d, std::string_view bytes, int targetWidth, int targetHeight,
                const JpegLimits& limits) {
  installErrorManager(*reinterpret_cast<jpeg_common_struct*>(&d.cinfo), d.err);
  if (setjmp(d.err.jump)) {
    // Rows produced before the fault are kept; the rest of the image stays black.
    return d.started && d.rowsDone > 0;
  }
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  d.cinfo.mem->max_memory_to_use = limits.maxDecoderMemory;
  d.progress.pub.progress_monitor = onProgress;
  d.progress.maxScans = limits.maxProgressiveScans;
  d.cinfo.progress = &d.progress.pub;

  jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) return false;
  const std::int64_t sourcePixels =
      static_cast<std::int64_t>(d.cinfo.image_width) * d.cinfo.image_height;
  if (sourcePixels <= 0 || sourcePixels > limits.maxSourcePixels) return false;

  bool cmyk = false;
  switch (d.cinfo.jpeg_color_space) {
    case JCS_CMYK:
    case JCS_YCCK:
      d.cinfo.out_color_space = JCS_CMYK;
      cmyk = true;
      break;
    default:  // YCbCr, RGB, greyscale; anything stranger fails in start_decompress
      d.cinfo.out_color_space = JCS_RGB;
      break;
  }
  // The roll redraws prize pictures at every step, so speed matters; but with the SIMD
  // code neither the fast IDCT nor plain upsampling saves measurable time on a 12 MP
  // photo (Huffman decoding dominates), so keep the accurate ones.
  d.cinfo.dct_method = JDCT_ISLOW;
  d.cinfo.do_fancy_upsampling = TRUE;
  chooseScale(d.cinfo, targetWidth, targetHeight);
  const std::int64_t outputPixels =
      static_cast<std::int64_t>(d.cinfo.output_width) * d.cinfo.output_height;
  if (outputPixels <= 0 || outputPixels > limits.maxOutputPixels) return false;

  // Progressive files read all their scans here, under the progress monitor.
  jpeg_start_decompress(&d.cinfo);
  const JDIMENSION width = d.cinfo.output_width;
  const JDIMENSION height = d.cinfo.output_height;
  d.image.width = static_cast<int>(width);
  d.image.height = static_cast<int>(height);
  d.image.pixels.assign(static_cast<std::size_t>(outputPixels) * 3, 0);
  if (cmyk) d.cmykRow.resize(static_cast<std::size_t>(width) * 4);
  d.started = true;

  const bool inverted = d.cinfo.saw_Adobe_marker;
  while (d.cinfo.output_scanline < height) {
    std::uint8_t* out =
        d.image.pixels.data() + static_cast<std::size_t>(d.cinfo.output_scanline) * width * 3;
    JSAMPROW row = cmyk ? d.cmykRow.data() : out;
    if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1) break;
    if (cmyk) cmykRowToRgb(d.cmykRow.data(), out, width, inverted);
    d.rowsDone = static_cast<int>(d.cinfo.output_scanline);
  }
  // No jpeg_finish_decompress: every row is in, and trailing garbage after the last
  // scan should not turn a good picture into an error.
  return d.rowsDone > 0;
}

struct HeaderReader {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  bool created = false;
  JpegSize size;
};

void runHeaderReader(HeaderReader& h, std::string_view bytes) {
  installErrorManager(*reinterpret_cast<jpeg_common_struct*>(&h.cinfo), h.err);
  if (setjmp(h.err.jump)) return;
  jpeg_create_decompress(&h.cinfo);
  h.created = true;
  jpeg_mem_src(&h.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&h.cinfo, TRUE) != JPEG_HEADER_OK) return;
  h.size.width = static_cast<int>(h.cinfo.image_width);
  h.size.height = static_cast<int>(h.cinfo.image_height);
}

struct Encoder {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  bool created = false;
  unsigned char* buffer = nullptr;  // malloc'ed by jpeg_mem_dest
  unsigned long size = 0;
};

bool runEncoder(Encoder& e, const RgbImage& image, int quality) {
  installErrorManager(*reinterpret_cast<jpeg_common_struct*>(&e.cinfo), e.err);
  if (setjmp(e.err.jump)) {
    // jpeg_mem_dest publishes its current buffer only when terminated; do that here so
    // the caller can free it.
    if (e.buffer) e.cinfo.dest->term_destination(&e.cinfo);
    return false;
  }
  jpeg_create_compress(&e.cinfo);
  e.created = true;
  jpeg_mem_dest(&e.cinfo, &e.buffer, &e.size);
  e.cinfo.image_width = static_cast<JDIMENSION>(image.width);
  e.cinfo.image_height = static_cast<JDIMENSION>(image.height);
  e.cinfo.input_components = 3;
  e.cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&e.cinfo);
  jpeg_set_quality(&e.cinfo, quality, TRUE);
  e.cinfo.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&e.cinfo, TRUE);
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  while (e.cinfo.next_scanline < e.cinfo.image_height) {
    // libjpeg's row type is not const, but the compressor only reads it.
    JSAMPROW row = const_cast<std::uint8_t*>(image.pixels.data()) + e.cinfo.next_scanline * stride;
    jpeg_write_scanlines(&e.cinfo, &row, 1);
  }
  jpeg_finish_compress(&e.cinfo);
  return true;
}

}  // namespace

RgbImage decodeJpeg(std::string_view bytes, int targetWidth, int targetHeight,
                    const JpegLimits& limits) {
  if (bytes.empty()) return {};
  Decoder d;
  bool ok = false;
  try {
    ok = runDecoder(d, bytes, targetWidth, targetHeight, limits);
  } catch (const std::bad_alloc&) {
    ok = false;  // only our own buffers throw; libjpeg's frames are already gone
  }
  if (d.created) jpeg_destroy_decompress(&d.cinfo);
  if (!ok) return {};
  return std::move(d.image);
}

JpegSize readJpegSize(std::string_view bytes) {
  if (bytes.empty()) return {};
  HeaderReader h;
  runHeaderReader(h, bytes);
  if (h.created) jpeg_destroy_decompress(&h.cinfo);
  return h.size;
}

std::string encodeJpeg(const RgbImage& image, int quality) {
  // Baseline JPEG cannot describe more than 65535 in either direction.
  if (image.empty() || image.width > 65535 || image.height > 65535) return {};
  if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3) return {};
  if (quality < 1) quality = 1;
  if (quality > 100) quality = 100;
  Encoder e;
  const bool ok = runEncoder(e, image, quality);
  if (e.created) jpeg_destroy_compress(&e.cinfo);
  std::string out;
  if (ok && e.buffer) out.assign(reinterpret_cast<const char*>(e.buffer), e.size);
  std::free(e.buffer);
  return out;
}

}  // namespace zv
