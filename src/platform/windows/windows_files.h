#pragma once
// What the Windows backends of the file layer share. Not for use outside platform/windows.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv::windows_files {

// UTF-8 to UTF-16 and back, for the Win32 API (platform/windows/utf16.h): a name that is
// not valid UTF-8 gives nothing, and so names no file rather than a different one.
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// Whether path names a device rather than a file: \\.\ paths and the names the system
// keeps for devices in every folder (CON, NUL, COM1 ... also with an extension).
bool isDevicePath(std::string_view path);

// Nanoseconds since 1970 of a file time.
std::int64_t unixNanoseconds(const FILETIME& time);

// The regular file at path, of at most maxBytes, read without following a link in its
// place; nothing otherwise. missing (when given) tells whether there was nothing at path.
std::optional<std::string> readRegularNotFollowing(const std::string& path, std::size_t maxBytes,
                                                   bool* missing);

// Replaces to by from, retrying while another program (a scanner, Explorer's preview)
// holds either open; false when that lasts too long or anything else goes wrong.
bool replaceFile(const std::wstring& from, const std::wstring& to, bool writeThrough);

}  // namespace zv::windows_files
