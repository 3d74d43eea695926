// GBK through glibc's iconv.
#include "platform/text_codec_detail.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace zv {
namespace {

// One converter per direction and thread, opened on first use: iconv_open is far
// slower than a conversion, and an iconv_t must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of [in, in+size) as the code set reads, appending to out.
  // Returns the number of input bytes consumed; stops at the first sequence it
  // cannot read (or an incomplete one at the end).
  std::size_t convertPrefix(const char* in, std::size_t size, std::string& out) {
    if (!ok()) return 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    std::size_t srcLeft = size;
    char buffer[4096];
    while (srcLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno != E2BIG) break;
    }
    return size - srcLeft;
  }

  // Converts exactly [in, in+size) as one unit; false (and out unchanged) unless
  // every byte was read.
  bool convertWhole(const char* in, std::size_t size, std::string& out) {
    std::string converted;
    if (convertPrefix(in, size, converted) != size) return false;
    out += converted;
    return true;
  }

 private:
  iconv_t cd_;
};

Converter& gbkDecoder() {
  thread_local Converter c("UTF-8", "GBK");
  return c;
}
Converter& gb18030Decoder() {
  thread_local Converter c("UTF-8", "GB18030");
  return c;
}
Converter& gbkEncoder() {
  thread_local Converter c("GBK", "UTF-8");
  return c;
}
Converter& gb18030Encoder() {
  thread_local Converter c("GB18030", "UTF-8");
  return c;
}

}  // namespace

namespace text_codec_detail {

// GBK reads all of a file but the few sequences only GB18030 has, so most text
// converts in one call.
std::size_t decodeRun(std::string_view gbk, std::string& out) {
  return gbkDecoder().convertPrefix(gbk.data(), gbk.size(), out);
}

// GBK has just stopped before this sequence, so only GB18030 is left to try.
bool decodeSequence(std::string_view sequence, std::string& out) {
  return gb18030Decoder().convertWhole(sequence.data(), sequence.size(), out);
}

std::size_t encodeRun(std::string_view utf8, std::string& out) {
  return gbkEncoder().convertPrefix(utf8.data(), utf8.size(), out);
}

bool encodeSequence(std::string_view sequence, std::string& out) {
  return gb18030Encoder().convertWhole(sequence.data(), sequence.size(), out);
}

}  // namespace text_codec_detail
}  // namespace zv
