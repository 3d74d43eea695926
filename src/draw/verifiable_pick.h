#pragma once
// The pick of a verifiable event: every landing's slot follows from a secret fixed (and
// its SHA-256 shown) before the first draw, so that anyone given the secret afterwards can
// recompute each draw from the journal.
//
// Row r's random stream is HMAC-SHA256(secret, "<commitment>|<audience number>|<r>|<b>")
// for blocks b = 0, 1, 2, ..., concatenated, read most significant bit first. The pool's
// entry is drawn from it by rejection: for a pool of n, take the bit length of n - 1 bits
// as a number v; v < n gives entry v + 1, otherwise take the next bits. No modulo bias.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "draw/draw_pool.h"
#include "platform/digest.h"

namespace zv {

inline constexpr std::size_t kSecretBytes = 32;

struct VerifiableEvent {
  std::string secret;      // kSecretBytes raw bytes
  std::string commitment;  // hexText(sha256(secret)): 64 lowercase hex digits
  std::string audience;    // the audience number as taken down; may be empty
};

// The commitment of a secret: its SHA-256 in lowercase hex.
std::string commitmentOf(std::string_view secret);

// The HMAC message of block b of row r's stream.
std::string pickMessage(const VerifiableEvent& event, std::int64_t row, std::uint64_t block);

// Bits taken most significant first from a stream of 32-byte blocks.
class RandomBits {
 public:
  using Blocks = std::function<Digest(std::uint64_t block)>;

  explicit RandomBits(Blocks blocks) : blocks_(std::move(blocks)) {}

  // The next `count` bits (0..63) as a number.
  std::uint64_t take(int count);

 private:
  Blocks blocks_;
  Digest current_{};
  std::uint64_t nextBlock_ = 0;
  std::size_t bitsUsed_ = 8 * sizeof(Digest);  // none left: the first take loads block 0
};

// A uniform entry 1..n by rejection sampling; n == 1 reads nothing, n < 1 gives 0.
std::int64_t uniformEntry(std::int64_t n, RandomBits& bits);

// The entry of a pool of n for row r of the event.
std::int64_t verifiableEntry(const VerifiableEvent& event, std::int64_t row, std::int64_t n);

// The slot 1..8 the event's stream picks from the pool for row r; 0 for an empty pool.
int verifiableSlot(const VerifiableEvent& event, std::int64_t row, const DrawPool& pool);

}  // namespace zv
