// GBK through glibc's iconv.
#include "platform/text_codec.h"

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

constexpr unsigned char u8(char c) { return static_cast<unsigned char>(c); }

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  std::size_t pos = 0;
  while (pos < gbk.size()) {
    pos += gbkDecoder().convertPrefix(gbk.data() + pos, gbk.size() - pos, out);
    if (pos >= gbk.size()) break;

    // The byte at pos starts something GBK cannot read.
    const unsigned char b0 = u8(gbk[pos]);
    const std::size_t left = gbk.size() - pos;
    if (b0 == 0x80) {
      out += "\xE2\x82\xAC";  // the euro sign of code page 936
      pos += 1;
      continue;
    }
    if (b0 >= 0x81 && b0 <= 0xFE && left >= 2) {
      const unsigned char b1 = u8(gbk[pos + 1]);
      const std::size_t len = (b1 >= 0x30 && b1 <= 0x39) ? 4 : 2;
      if (left >= len && gb18030Decoder().convertWhole(gbk.data() + pos, len, out)) {
        pos += len;
        continue;
      }
    }
    out += gbk[pos];  // unreadable: kept so that encoding restores it
    pos += 1;
  }
  return out;
}

std::string utf8ToGbk(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    pos += gbkEncoder().convertPrefix(utf8.data() + pos, utf8.size() - pos, out);
    if (pos >= utf8.size()) break;

    const std::string_view rest = utf8.substr(pos);
    const std::size_t len = utf8SequenceLength(rest);
    if (len == 0) {
      out += rest[0];  // not UTF-8: a byte gbkToUtf8 kept, restored as is
      pos += 1;
      continue;
    }
    if (rest.substr(0, len) == "\xE2\x82\xAC") {
      out += '\x80';
    } else if (!gb18030Encoder().convertWhole(rest.data(), len, out)) {
      out.append(rest.data(), len);
    }
    pos += len;
  }
  return out;
}

}  // namespace zv
