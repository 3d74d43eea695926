#pragma once
// Conversions between the UTF-8 text the program holds in memory and the bytes of
// files written by the original Windows tools (code page 936, with GB18030 as the
// fallback for characters and sequences that code page lacks).
#include <cstddef>
#include <string>
#include <string_view>

namespace zv {

// Decodes code-page-936 bytes to UTF-8. 0x80 is the euro sign. A sequence that code
// page lacks is read as GB18030; a byte sequence that neither reads is kept unchanged.
std::string gbkToUtf8(std::string_view gbk);

// Encodes UTF-8 as code page 936; a character that code page lacks takes its GB18030
// four-byte form, so nothing typed is lost. Bytes that are not valid UTF-8 are kept
// unchanged (they round-trip what gbkToUtf8 could not read).
std::string utf8ToGbk(std::string_view utf8);

// True when the bytes were written by a UTF-8 editor: they start with the UTF-8
// byte-order mark, or are valid UTF-8 throughout with at least one sequence of three or
// more bytes (as every Chinese character takes).
bool isUtf8Text(std::string_view bytes);

// Length of the well-formed UTF-8 sequence that starts the text (no overlong forms,
// surrogates or code points past U+10FFFF); 0 when there is none.
std::size_t utf8SequenceLength(std::string_view utf8);

}  // namespace zv
