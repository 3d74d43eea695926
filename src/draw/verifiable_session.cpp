#include "draw/verifiable_session.h"

#include <algorithm>
#include <utility>

#include "platform/files.h"

namespace zv {

namespace {

constexpr std::string_view kHeading = "可验证抽奖密钥：活动结束并公布之前不要给任何人看";
constexpr std::string_view kSecretKey = "密钥=";
constexpr std::string_view kCommitmentKey = "承诺=";
constexpr std::string_view kStartedKey = "已开始=";
constexpr std::string_view kAudienceKey = "现场随机数=";
// A real file is a few hundred bytes; anything much larger is not ours.
constexpr std::size_t kMaxFileBytes = 4096;
constexpr std::string_view kPublishedText = "已公布\r\n";

bool isHex64(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

}  // namespace

bool validAudienceNumber(std::string_view audience) {
  return audience.size() <= verifiable_text::kMaxAudienceDigits &&
         std::all_of(audience.begin(), audience.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string formatSecretFile(const SecretFile& file) {
  std::string text(kHeading);
  text += "\r\n";
  text += std::string(kSecretKey) + hexText(file.event.secret) + "\r\n";
  text += std::string(kCommitmentKey) + file.event.commitment + "\r\n";
  text += std::string(kStartedKey) + (file.started ? journal_text::kYes : journal_text::kNo) + "\r\n";
  text += std::string(kAudienceKey) + file.event.audience + "\r\n";
  return text;
}

std::optional<SecretFile> parseSecretFile(std::string_view text) {
  if (text.size() > kMaxFileBytes) return std::nullopt;
  std::optional<std::string> secretHex, commitment, started, audience;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto value = [&line](std::string_view key) -> std::optional<std::string> {
      if (!line.starts_with(key)) return std::nullopt;
      return std::string(line.substr(key.size()));
    };
    if (auto v = value(kSecretKey)) secretHex = v;
    if (auto v = value(kCommitmentKey)) commitment = v;
    if (auto v = value(kStartedKey)) started = v;
    if (auto v = value(kAudienceKey)) audience = v;
  }
  SecretFile file;
  if (!secretHex || !commitment || !started || !audience) return std::nullopt;
  if (!isHex64(*secretHex) || !bytesFromHex(*secretHex, file.event.secret)) return std::nullopt;
  file.event.commitment = *commitment;
  if (commitmentOf(file.event.secret) != file.event.commitment) return std::nullopt;
  if (*started != journal_text::kYes && *started != journal_text::kNo) return std::nullopt;
  file.started = *started == journal_text::kYes;
  if (!validAudienceNumber(*audience)) return std::nullopt;
  file.event.audience = *audience;
  return file;
}

VerifiableSession::VerifiableSession(std::string secretPath, DrawRecord& record,
                                     std::function<std::string()> randomSecret)
    : path_(std::move(secretPath)), record_(record), randomSecret_(std::move(randomSecret)) {}

void VerifiableSession::load() {
  file_.reset();
  const std::optional<std::string> text = tryReadWholeFile(path_);
  if (text) file_ = parseSecretFile(*text);
}

VerifiableSession::State VerifiableSession::state() const {
  if (!file_) return State::None;
  return file_->started ? State::On : State::Committed;
}

VerifiableSession::Outcome VerifiableSession::commit() {
  if (file_) return Outcome::Refused;
  if (const std::optional<std::string> text = tryReadWholeFile(path_);
      text && *text != kPublishedText)
    return Outcome::UnreadableFileInTheWay;
  SecretFile file;
  file.event.secret = randomSecret_();
  if (file.event.secret.size() != kSecretBytes) return Outcome::SecretNotWritten;
  file.event.commitment = commitmentOf(file.event.secret);
  if (!writePrivateFileAtomically(path_, formatSecretFile(file))) return Outcome::SecretNotWritten;
  file_ = std::move(file);
  return Outcome::Done;
}

VerifiableSession::Outcome VerifiableSession::start(const std::string& audience) {
  if (state() != State::Committed || !validAudienceNumber(audience)) return Outcome::Refused;
  SecretFile started = *file_;
  started.started = true;
  started.event.audience = audience;
  // The file first: a crash after the row then still resumes the event it opened.
  if (!writePrivateFileAtomically(path_, formatSecretFile(started)))
    return Outcome::SecretNotWritten;
  JournalRow row;
  row.event = JournalEvent::VerifyStart;
  row.commitment = started.event.commitment;
  row.audience = started.event.audience;
  if (!record_.journal().append(std::move(row))) {
    writePrivateFileAtomically(path_, formatSecretFile(*file_));
    return Outcome::RowNotWritten;
  }
  file_ = std::move(started);
  return Outcome::Done;
}

VerifiableSession::Outcome VerifiableSession::publish(bool* removedFile) {
  if (state() != State::On) return Outcome::Refused;
  JournalRow row;
  row.event = JournalEvent::VerifyEnd;
  row.secret = hexText(file_->event.secret);
  if (!record_.journal().append(std::move(row))) return Outcome::RowNotWritten;
  // A published secret must never pick again: a file that will not go is at least emptied
  // of it, so a restart finds no event.
  const bool removed = deleteFile(path_) || writePrivateFileAtomically(path_, kPublishedText);
  if (removedFile) *removedFile = removed;
  file_.reset();
  return Outcome::Done;
}

int VerifiableSession::pick(const DrawPool& pool) {
  if (state() != State::On) return 0;
  return verifiableSlot(file_->event, record_.journal().nextSequence(), pool);
}

}  // namespace zv
