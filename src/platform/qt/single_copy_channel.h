#pragma once
// What the hand-over channels of SingleCopy (x11/, windows/) say and how they are named:
// the same on every system. Not for use outside the single-copy files.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace zv::single_copy {

using Clock = std::chrono::steady_clock;

// A later copy sends the request; the running copy answers once its stage is shown.
inline constexpr QByteArrayView kRequest = "raise\n";
inline constexpr QByteArrayView kAnswer = "shown\n";
inline constexpr std::size_t kLongestRequest = 64;  // anything longer is not ours
// How long the running copy waits for a connected copy's request.
inline constexpr std::chrono::milliseconds kRequestWait{1000};

// Whether a line received is exactly the given message.
inline bool isMessage(const std::optional<QByteArray>& line, QByteArrayView message) {
  return line == QByteArray(message.data(), message.size());
}

// Milliseconds left until deadline; 0 once it has passed.
inline long long remainingMs(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? left : 0;
}

// The folder as one spelling: its canonical path, or the cleaned absolute one where it
// does not exist.
QString canonicalFolder(const std::string& programDirectory);

// A channel name's distinctive part: a digest of everything that tells two copies'
// channels apart (folder, user, ...), short enough for any name.
QString digestName(const QByteArray& key);

}  // namespace zv::single_copy
