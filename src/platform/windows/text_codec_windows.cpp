// GBK through the Windows code pages: 936 for GBK itself, 54936 (GB18030) for what 936
// lacks. The results are those of the glibc codec on Linux: GBK first, then GB18030, and
// bytes neither reads kept as they are.
#include <windows.h>

#include "platform/text_codec_detail.h"
#include "platform/windows/utf16.h"

namespace zv {
namespace {

constexpr UINT kGbk = 936;
constexpr UINT kGb18030 = 54936;

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
  out += utf16::toUtf8(wide);
  return true;
}

bool encodeSequence(std::string_view sequence, std::string& out) {
  const std::wstring wide = utf16::fromUtf8(sequence);
  if (wide.empty()) return false;
  // The mirror of decoding: a private-use character is written as GB18030 writes it.
  if (isPrivateUse(codePointOf(wide))) return encodeOne(kGb18030, wide, out) || encodeOne(kGbk, wide, out);
  return encodeOne(kGbk, wide, out) || encodeOne(kGb18030, wide, out);
}

}  // namespace text_codec_detail
}  // namespace zv
