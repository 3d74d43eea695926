// GBK through the Windows code pages: 936 for GBK itself, 54936 (GB18030) for what 936
// lacks. The results are those of the glibc codec on Linux: GBK first, then GB18030, and
// bytes neither reads kept as they are.
#include <windows.h>

#include <cstdint>

#include "platform/text_codec_detail.h"

namespace zv {
namespace {

constexpr UINT kGbk = 936;
constexpr UINT kGb18030 = 54936;

constexpr unsigned char u8(char c) { return static_cast<unsigned char>(c); }

bool isPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// One character of the code page's bytes, or nothing when the code page does not read
// exactly these bytes as one character.
bool decodeOne(UINT codePage, const char* bytes, int size, std::wstring& wide) {
  wchar_t buffer[4];
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, size, buffer, 4);
  if (n <= 0 || n > 2) return false;
  wide.assign(buffer, static_cast<std::size_t>(n));
  return true;
}

bool encodeOne(UINT codePage, const std::wstring& wide, std::string& out) {
  char buffer[8];
  BOOL usedDefault = FALSE;
  // GB18030 takes neither flags nor a default-character question: it encodes everything.
  const bool gbk = codePage == kGbk;
  const int n = WideCharToMultiByte(codePage, gbk ? WC_NO_BEST_FIT_CHARS : 0, wide.data(),
                                    static_cast<int>(wide.size()), buffer, sizeof buffer, nullptr,
                                    gbk ? &usedDefault : nullptr);
  if (n <= 0 || usedDefault) return false;
  out.append(buffer, static_cast<std::size_t>(n));
  return true;
}

char32_t codePointOf(const std::wstring& wide) {
  if (wide.size() == 2)
    return 0x10000 + ((static_cast<char32_t>(wide[0]) - 0xD800) << 10) +
           (static_cast<char32_t>(wide[1]) - 0xDC00);
  return static_cast<char32_t>(wide[0]);
}

void appendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The code point of a well-formed UTF-8 sequence of len bytes.
char32_t decodeUtf8(std::string_view s, std::size_t len) {
  if (len == 1) return u8(s[0]);
  char32_t c = u8(s[0]) & (0x7F >> len);
  for (std::size_t i = 1; i < len; ++i) c = (c << 6) | (u8(s[i]) & 0x3F);
  return c;
}

std::wstring utf16Of(char32_t c) {
  if (c < 0x10000) return std::wstring(1, static_cast<wchar_t>(c));
  c -= 0x10000;
  return {static_cast<wchar_t>(0xD800 + (c >> 10)), static_cast<wchar_t>(0xDC00 + (c & 0x3FF))};
}

}  // namespace

namespace text_codec_detail {

// The code pages convert one character at a time here, so that each is checked against
// the Linux codec's reading; runs are left to the portable loop.
std::size_t decodeRun(std::string_view, std::string&) { return 0; }
std::size_t encodeRun(std::string_view, std::string&) { return 0; }

bool decodeSequence(std::string_view sequence, std::string& out) {
  std::wstring wide;
  const char* bytes = sequence.data();
  const int size = static_cast<int>(sequence.size());
  if (size == 2 && decodeOne(kGbk, bytes, size, wide)) {
    // Code page 936 keeps a few characters GB18030 names (A8BF is ǹ) in the private use
    // area, where glibc's GBK has no character and its GB18030 reads the named one.
    std::wstring named;
    if (isPrivateUse(codePointOf(wide)) && decodeOne(kGb18030, bytes, size, named) &&
        !isPrivateUse(codePointOf(named)))
      wide = named;
  } else if (!decodeOne(kGb18030, bytes, size, wide)) {
    return false;
  }
  appendUtf8(codePointOf(wide), out);
  return true;
}

bool encodeSequence(std::string_view sequence, std::string& out) {
  const char32_t c = decodeUtf8(sequence, sequence.size());
  const std::wstring wide = utf16Of(c);
  // The mirror of decoding: a private-use character is written as GB18030 writes it.
  if (isPrivateUse(c)) return encodeOne(kGb18030, wide, out) || encodeOne(kGbk, wide, out);
  return encodeOne(kGbk, wide, out) || encodeOne(kGb18030, wide, out);
}

}  // namespace text_codec_detail
}  // namespace zv
