#pragma once
// What each text codec backend supplies to the portable conversion loops of
// text_codec.cpp, which hold the GB18030 rules (euro sign, sequence lengths, bytes kept).
// Not for use outside platform/.
#include <cstddef>
#include <string>
#include <string_view>

namespace zv::text_codec_detail {

// Appends the UTF-8 of the longest start of gbk the backend converts in one go and
// returns the bytes it read; 0 is allowed (the loop then goes character by character).
std::size_t decodeRun(std::string_view gbk, std::string& out);
// Appends the UTF-8 of one two- or four-byte sequence the run did not read, as GBK or
// else GB18030 reads it; false (out unchanged) when neither does.
bool decodeSequence(std::string_view sequence, std::string& out);

// The same for encoding: a run of UTF-8 the backend converts in one go...
std::size_t encodeRun(std::string_view utf8, std::string& out);
// ...and one well-formed multi-byte UTF-8 sequence (not the euro sign) in code page 936,
// or else its GB18030 form; false (out unchanged) when neither writes it.
bool encodeSequence(std::string_view sequence, std::string& out);

}  // namespace zv::text_codec_detail
