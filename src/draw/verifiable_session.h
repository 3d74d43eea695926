#pragma once
// A verifiable event on the stage, from its commitment to its published secret. The secret
// waits in a file of its own in the event folder, readable only by the user, so a crash or
// a restart shows the same commitment (it may have been photographed) and resumes a
// started event. Plain C++; the window and the mark are in stage/ and dialogs/.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "draw/draw_pool.h"
#include "draw/draw_record.h"
#include "draw/verifiable_pick.h"

namespace zv {

namespace verifiable_text {
inline constexpr const char* kSecretFileName = "可验证抽奖密钥.txt";
// The audience number: digits only, at most this many.
inline constexpr std::size_t kMaxAudienceDigits = 32;
}  // namespace verifiable_text

struct SecretFile {
  VerifiableEvent event;
  bool started = false;
};

// The file's text: a heading line, then 密钥=, 承诺=, 已开始=是/否, 现场随机数= lines.
std::string formatSecretFile(const SecretFile& file);
// Nothing when the text is not such a file, the secret is not 64 hex digits, the
// commitment is not the secret's or the audience number is not digits.
std::optional<SecretFile> parseSecretFile(std::string_view text);

bool validAudienceNumber(std::string_view audience);

class VerifiableSession {
 public:
  enum class State { None, Committed, On };
  enum class Outcome { Done, SecretNotWritten, RowNotWritten, Refused, UnreadableFileInTheWay };

  // secretPath: the secret file; randomSecret: kSecretBytes from the system's random source.
  VerifiableSession(std::string secretPath, DrawRecord& record,
                    std::function<std::string()> randomSecret);

  // Reads the secret file (at start-up): an event committed or started before is back.
  // A file that does not read as one is left alone and counts as none.
  void load();

  State state() const;
  const std::optional<SecretFile>& current() const { return file_; }
  const std::string& secretPath() const { return path_; }

  // A fresh secret, written to its file before anything shows it. Refused unless no event;
  // a secret file that does not read is never overwritten (it may hold a started event's
  // secret, damaged by hand): UnreadableFileInTheWay.
  Outcome commit();
  // The 开始验证 row and the mode on. The file records the start first; a row that cannot
  // be written puts the file back and changes nothing.
  Outcome start(const std::string& audience);
  // The 公布密钥 row, then the secret file removed and the mode off. A row that cannot be
  // written changes nothing. removedFile tells whether the file is gone.
  Outcome publish(bool* removedFile = nullptr);

  // The slot for the landing the journal's next row will record; 0 for an empty pool.
  int pick(const DrawPool& pool);

 private:
  std::string path_;
  DrawRecord& record_;
  std::function<std::string()> randomSecret_;
  std::optional<SecretFile> file_;
};

}  // namespace zv
