#pragma once
// UTF-8 text to the UTF-16 of the Win32 API and back, for the Windows backends (of the
// core services and of the Qt layer).
#include <string>
#include <string_view>

namespace zv::utf16 {

// Nothing for text that is not valid UTF-8, so a bad name names no file.
std::wstring fromUtf8(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

}  // namespace zv::utf16
