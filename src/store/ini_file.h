#pragma once
// The two INI operations of the program, with the semantics of the Windows profile
// functions on a named file. Texts are UTF-8 in memory; on disk a file is GBK unless
// it was written by a UTF-8 editor (see isUtf8Text), and it is written back the same way.
#include <optional>
#include <string>
#include <string_view>

namespace zv::ini {

// Longest value a read returns, in bytes of the file's encoding.
inline constexpr std::size_t kMaxValueBytes = 10239;

// The stored value of key in section; `fallback` (or the empty text when none is
// given) when the file, the section or the key is missing.
std::string read(const std::string& path, std::string_view section, std::string_view key,
                 std::optional<std::string_view> fallback = std::nullopt);

// Stores value under key in section, creating the file and the section as needed.
// Only the bytes of the line written change; the file is replaced atomically.
// Returns whether the file was written.
bool write(const std::string& path, std::string_view section, std::string_view key,
           std::string_view value);

}  // namespace zv::ini
