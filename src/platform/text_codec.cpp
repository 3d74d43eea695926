#include "platform/text_codec.h"

#include "platform/text_codec_detail.h"

namespace zv {
namespace {

constexpr unsigned char u8(char c) { return static_cast<unsigned char>(c); }

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::size_t utf8SequenceLength(std::string_view s) {
  if (s.empty()) return 0;
  const unsigned char b0 = u8(s[0]);
  if (b0 < 0x80) return 1;
  std::size_t len = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (s.size() < len) return 0;
  if (u8(s[1]) < lo || u8(s[1]) > hi) return 0;
  for (std::size_t i = 2; i < len; ++i)
    if (!isContinuation(u8(s[i]))) return 0;
  return len;
}

bool isUtf8Text(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return true;
  // Chinese text in UTF-8 takes three bytes a character. Two-byte sequences alone are
  // not enough: a short GBK text such as "一" (D2 BB) is also valid two-byte UTF-8.
  bool wideSequence = false;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t len = utf8SequenceLength(bytes.substr(pos));
    if (len == 0) return false;
    if (len >= 3) wideSequence = true;
    pos += len;
  }
  return wideSequence;
}

std::string gbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  std::size_t pos = 0;
  while (pos < gbk.size()) {
    pos += text_codec_detail::decodeRun(gbk.substr(pos), out);
    if (pos >= gbk.size()) break;

    const unsigned char b0 = u8(gbk[pos]);
    const std::size_t left = gbk.size() - pos;
    if (b0 < 0x80) {
      out += gbk[pos++];
      continue;
    }
    if (b0 == 0x80) {
      out += "\xE2\x82\xAC";  // the euro sign of code page 936
      pos += 1;
      continue;
    }
    if (b0 <= 0xFE && left >= 2) {
      const unsigned char b1 = u8(gbk[pos + 1]);
      const std::size_t len = (b1 >= 0x30 && b1 <= 0x39) ? 4 : 2;
      if (left >= len && text_codec_detail::decodeSequence(gbk.substr(pos, len), out)) {
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
    pos += text_codec_detail::encodeRun(utf8.substr(pos), out);
    if (pos >= utf8.size()) break;

    if (u8(utf8[pos]) < 0x80) {
      out += utf8[pos++];
      continue;
    }
    const std::string_view rest = utf8.substr(pos);
    const std::size_t len = utf8SequenceLength(rest);
    if (len == 0) {
      out += rest[0];  // not UTF-8: a byte gbkToUtf8 kept, restored as is
      pos += 1;
      continue;
    }
    if (rest.substr(0, len) == "\xE2\x82\xAC") {
      out += '\x80';
    } else if (!text_codec_detail::encodeSequence(rest.substr(0, len), out)) {
      out.append(rest.data(), len);
    }
    pos += len;
  }
  return out;
}

}  // namespace zv
