#pragma once
// What the files backends share: the rules of temporary names and of refused names.
// Not for use outside platform/.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace zv::files_detail {

// Names taken by other files (or by leftovers that are not yet stale) are retried; a
// directory that refuses this many random names has something else wrong with it.
inline constexpr int kNameAttempts = 16;
inline constexpr std::time_t kStaleAfterSeconds = 24 * 60 * 60;

// The next random number for a temporary name (the test's source, when one is set).
std::uint64_t nextRandom();
// The system's own random numbers (backend).
std::uint64_t systemRandom();

// Whether entry is a temporary file that a write of target made: ours, or of the form
// earlier versions used (process id and a counter), which killed runs may have left.
bool isTemporaryOf(std::string_view entry, std::string_view target);

// Hands a refused name to the listener, once per name per run.
void reportUnusable(const std::string& path);

bool isSeparator(char c);
// The directory part of path ("." without one) and the name after it.
std::string parentDirectory(const std::string& path);
std::string baseName(const std::string& path);

}  // namespace zv::files_detail
