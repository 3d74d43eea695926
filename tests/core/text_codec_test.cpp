#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include "core/system_codecs.h"

namespace zv {
namespace {

struct CodecCase {
  const char* what;
  std::string utf8;
  std::string gbk;
  bool gb18030 = false;  // needs the system's GB18030 (Wine has none)
};

TEST(TextCodec, ConvertsBothWays) {
  const CodecCase cases[] = {
      {"ascii", "key=12 ;x", "key=12 ;x"},
      {"code page character", "一", "\xD2\xBB"},
      {"euro is the single byte 0x80", "a€b",
       "a\x80"
       "b"},
      {"two-byte form only GB18030 reads", "ǹ", "\xA8\xBF", true},
      {"BMP character outside GBK", "Ā", "\x81\x30\x8B\x38", true},
      {"supplementary plane", "𠀀", "\x95\x32\x82\x36", true},
      {"emoji between Chinese", "中😀中", "\xD6\xD0\x94\x39\xFC\x36\xD6\xD0", true},
  };
  for (const auto& c : cases) {
    if (c.gb18030 && !systemHasGb18030()) continue;
    EXPECT_EQ(utf8ToGbk(c.utf8), c.gbk) << c.what;
    EXPECT_EQ(gbkToUtf8(c.gbk), c.utf8) << c.what;
  }
}

TEST(TextCodec, UnreadableGbkBytesAreKeptAndRoundTrip) {
  struct Case {
    const char* what;
    std::string gbk;
    std::string utf8;
  };
  const Case cases[] = {
      {"0xFF between characters", "\xD2\xBB\xFF\xD2\xBB", "一\xFF一"},
      {"lead byte before a blank", "\x81 x", "\x81 x"},
      {"lead byte at the end", "ab\x81", "ab\x81"},
      {"truncated four-byte form", "\x81\x30", "\x81\x30"},
      {"four-byte form past the last code point", "\xFE\x39\xFE\x39=",
       "\xFE"
       "9\xFE"
       "9="},
  };
  for (const auto& c : cases) {
    const std::string decoded = gbkToUtf8(c.gbk);
    EXPECT_EQ(decoded, c.utf8) << c.what;
    EXPECT_EQ(utf8ToGbk(decoded), c.gbk) << c.what;
  }
}

TEST(TextCodec, InvalidUtf8IsCopiedWhenEncoding) {
  EXPECT_EQ(utf8ToGbk("\xC3(一"), "\xC3(\xD2\xBB");
  EXPECT_EQ(utf8ToGbk("\xED\xA0\x80"), "\xED\xA0\x80");  // an encoded surrogate
}

TEST(TextCodec, RecognisesUtf8Text) {
  const std::pair<std::string, bool> cases[] = {
      {"\xEF\xBB\xBF", true},
      {"\xEF\xBB\xBF[a]\r\nk=\xD2\xBB", true},  // a BOM decides even before bad bytes
      {"[a]\r\nk=一", true},
      {"", false},
      {"plain ascii", false},
      {"k=\xD6\xD0", false},               // GBK 中
      {"[zbt]\r\n\xD2\xBB=3\r\n", false},  // GBK 一 is also two-byte UTF-8
      {"caf\xC3\xA9", false},              // two-byte sequences alone do not decide
      {"\xC0\x80", false},                 // overlong
      {"\xED\xA0\x80", false},             // surrogate
      {"\xF4\x90\x80\x80", false},         // past U+10FFFF
      {"一\xE4\xB8", false},               // truncated at the end
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(isUtf8Text(bytes), expected) << bytes;
}

}  // namespace
}  // namespace zv
