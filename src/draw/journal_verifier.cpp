#include "draw/journal_verifier.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "draw/draw_pool.h"
#include "draw/verifiable_pick.h"
#include "platform/files.h"
#include "store/journal.h"

namespace zv {
namespace {

std::string seqText(std::int64_t sequence) { return "序号 " + std::to_string(sequence); }

// What the sequence numbers and the chain need of a row, kept for the whole file.
struct RowFacts {
  std::int64_t sequence = 0;
  std::size_t position = 0;  // the record's place in the file (damaged records counted)
  bool chained = false;
  bool linkHolds = true;
  bool afterDamaged = false;  // a damaged record stands right before it
};

// A draw of an open event, kept until its secret is published.
struct EventDraw {
  std::int64_t sequence = 0;
  std::size_t position = 0;
  int slot = 0;
  std::int64_t poolSize = 0;
  std::array<std::int64_t, kSlotCount> counts{};
  bool designated = false;
};

struct OpenEvent {
  std::int64_t start = 0;
  std::string commitment;
  std::string audience;
  std::vector<EventDraw> draws;
};

struct PlacedFinding {
  std::size_t position = 0;
  VerifyFinding finding;
};

std::string shortCommitment(const std::string& commitment) {
  return commitment.size() > 16 ? commitment.substr(0, 16) + "…" : commitment;
}

}  // namespace

struct JournalVerifier::State {
  JournalRecordReader reader{[this](const JournalRecord& record) { take(record); }};
  std::string previous;  // what the last intact record passes on
  std::size_t position = 0;
  std::int64_t lastSequence = 0;
  bool damagedBefore = false;
  bool seenChain = false;
  std::vector<RowFacts> facts;
  std::vector<std::size_t> damagedAt;  // positions of damaged records, and the row before
  std::vector<std::int64_t> damagedAfterSequence;
  std::optional<OpenEvent> open;
  int eventNumber = 0;
  VerifyReport report;
  std::vector<PlacedFinding> found;

  void add(std::size_t at, std::int64_t sequence, VerifyFault fault, std::string text) {
    found.push_back({at, {sequence, fault, std::move(text)}});
  }

  void take(const JournalRecord& record) {
    const std::size_t at = position++;
    switch (record.kind) {
      case JournalRecord::Kind::Header:
        previous = record.passesOn();
        return;
      case JournalRecord::Kind::Damaged:
        ++report.damaged;
        damagedAt.push_back(at);
        damagedAfterSequence.push_back(lastSequence);
        damagedBefore = true;
        return;
      case JournalRecord::Kind::Row:
        break;
    }
    const JournalRow& row = *record.row;
    ++report.rows;
    RowFacts fact{row.sequence, at, !row.chain.empty(), true, std::exchange(damagedBefore, false)};
    if (fact.chained) {
      fact.linkHolds = journalLink(previous, record.own()) == row.chain;
      seenChain = true;
    } else {
      ++report.unchained;
      if (seenChain)
        add(at, row.sequence, VerifyFault::ChainMissing,
            seqText(row.sequence) + "：缺少链值，此行被改动");
    }
    previous = record.passesOn();
    lastSequence = row.sequence;
    facts.push_back(fact);
    followEvent(row, at);
  }

  void followEvent(const JournalRow& row, std::size_t at) {
    switch (row.event) {
      case JournalEvent::VerifyStart:
        if (open) closeUnpublished();
        open = OpenEvent{row.sequence, row.commitment, row.audience, {}};
        ++eventNumber;
        return;
      case JournalEvent::VerifyEnd:
        if (!open) {
          add(at, row.sequence, VerifyFault::Unopened,
              seqText(row.sequence) + "：公布密钥之前没有开始验证的记录");
          return;
        }
        publish(row, at);
        open.reset();
        return;
      case JournalEvent::Win:
      case JournalEvent::RehearsalWin:
        if (open)
          open->draws.push_back(
              {row.sequence, at, row.slot, row.poolSize, row.poolCounts, row.designated});
        return;
      default:
        return;
    }
  }

  std::string eventHead() const {
    return "验证活动 " + std::to_string(eventNumber) + "（承诺 " +
           shortCommitment(open->commitment) + "，" + seqText(open->start) + " 开始";
  }

  void closeUnpublished() {
    ++report.unpublished;
    report.events.push_back(eventHead() + "）：密钥尚未公布，" +
                            std::to_string(open->draws.size()) + " 次抽奖暂无法核对");
  }

  void publish(const JournalRow& end, std::size_t at) {
    const OpenEvent& event = *open;
    std::string secret;
    const std::string head = eventHead() + "，" + seqText(end.sequence) + " 公布密钥）：";
    if (!bytesFromHex(end.secret, secret) || secret.size() != kSecretBytes ||
        commitmentOf(secret) != event.commitment) {
      add(at, end.sequence, VerifyFault::WrongSecret,
          seqText(end.sequence) + "：公布的密钥与承诺不符，抽奖无法由密钥核对");
      report.events.push_back(head + "密钥与承诺不符");
      return;
    }
    const VerifiableEvent verifiable{secret, event.commitment, event.audience};
    std::size_t follow = 0, designated = 0, differ = 0;
    for (const EventDraw& draw : event.draws) {
      const std::int64_t sum =
          std::accumulate(draw.counts.begin(), draw.counts.end(), std::int64_t{0});
      if (sum != draw.poolSize) {
        add(draw.position, draw.sequence, VerifyFault::PoolSum,
            seqText(draw.sequence) + "：奖池总数 " + std::to_string(draw.poolSize) +
                " 与各奖项数量之和 " + std::to_string(sum) + " 不符");
      }
      if (draw.designated) {
        ++designated;
        add(draw.position, draw.sequence, VerifyFault::Designated,
            seqText(draw.sequence) + "：指定中奖（记录如此注明），结果并非由密钥得出");
        continue;
      }
      const int expected =
          verifiableSlot(verifiable, draw.sequence, DrawPool::fromCounts(draw.counts));
      if (expected != draw.slot) {
        ++differ;
        add(draw.position, draw.sequence, VerifyFault::PickDiffers,
            seqText(draw.sequence) + "：奖项 " + std::to_string(draw.slot) +
                " 不是密钥得出的奖项 " + std::to_string(expected) + "，结果被改动");
      } else {
        ++follow;
      }
    }
    std::string line = head + std::to_string(event.draws.size()) + " 次抽奖，" +
                       std::to_string(follow) + " 次由密钥得出";
    if (designated) line += "，" + std::to_string(designated) + " 次指定中奖";
    if (differ) line += "，" + std::to_string(differ) + " 次与密钥不符";
    report.events.push_back(line);
  }

  // The sequence numbers and the links, once the whole file is known: a link that fails
  // right after a reordering, a removal or a damaged record is explained by it.
  void judgeOrderAndChain() {
    std::vector<std::int64_t> sorted;
    sorted.reserve(facts.size());
    for (const RowFacts& f : facts) sorted.push_back(f.sequence);
    std::sort(sorted.begin(), sorted.end());
    const auto present = [&](std::int64_t s) {
      return std::binary_search(sorted.begin(), sorted.end(), s);
    };
    std::int64_t highest = 0;
    std::vector<std::pair<std::int64_t, std::int64_t>> announced;  // found later, reported
    bool previousMoved = false;
    std::size_t nextDamaged = 0;
    std::vector<bool> accounted(facts.size());  // the link holds, or its failure is explained
    std::vector<std::size_t> edited;
    for (std::size_t i = 0; i < facts.size(); ++i) {
      const RowFacts& f = facts[i];
      bool explained = previousMoved;
      bool moved = false;
      if (f.sequence <= highest) {
        moved = true;
        const bool reported = std::any_of(announced.begin(), announced.end(), [&](auto range) {
          return f.sequence >= range.first && f.sequence <= range.second;
        });
        if (!reported)
          add(f.position, f.sequence, VerifyFault::Swapped,
              seqText(f.sequence) + " 排在" + seqText(highest) + " 之后：记录顺序被调换");
      } else if (f.sequence > highest + 1 && (highest > 0 || f.chained)) {
        const std::int64_t from = highest + 1, to = f.sequence - 1;
        if (present(from)) {
          moved = true;
          announced.emplace_back(from, to);
          add(f.position, f.sequence, VerifyFault::Swapped,
              seqText(f.sequence) + " 排在" + seqText(from) + " 之前：记录顺序被调换");
        } else if (f.chained && !f.linkHolds) {
          explained = true;
          add(f.position, f.sequence, VerifyFault::Removed,
              seqText(f.sequence) + " 之前缺少" + seqText(from) +
                  (to > from ? " 至 " + std::to_string(to) : std::string()) +
                  "，链值不符：记录被删除");
        }
        // A gap with the link holding: a number whose row could not be written.
      }
      highest = std::max(highest, f.sequence);
      accounted[i] = f.linkHolds || moved || explained;
      while (nextDamaged < damagedAt.size() && damagedAt[nextDamaged] < f.position) ++nextDamaged;
      if (f.chained && !f.linkHolds && !moved && !explained) {
        if (f.afterDamaged) {
          const std::int64_t before = damagedAfterSequence[nextDamaged - 1];
          add(damagedAt[nextDamaged - 1], before, VerifyFault::Damaged,
              (before > 0 ? seqText(before) + " 之后" : std::string("表头之后")) +
                  "的一条记录已损坏，无法读取（链值在" + seqText(f.sequence) + "处断开）");
        } else {
          edited.push_back(i);
        }
      }
      previousMoved = moved;
    }
    // An edited row breaks its own link only; its 链值 edited too breaks the next one.
    for (std::size_t i : edited) {
      const bool nextHolds = i + 1 == facts.size() || accounted[i + 1];
      add(facts[i].position, facts[i].sequence, VerifyFault::Edited,
          seqText(facts[i].sequence) + "：链值不符，" +
              (nextHolds ? "此行被修改" : "此行或其链值被修改"));
    }
  }
};

JournalVerifier::JournalVerifier() : state_(std::make_unique<State>()) {}
JournalVerifier::~JournalVerifier() = default;

void JournalVerifier::feed(std::string_view bytes) { state_->reader.feed(bytes); }

VerifyReport JournalVerifier::finish() {
  State& s = *state_;
  if (s.reader.finish()) {
    // A last record cut short: being written, or torn by a crash; never a row yet.
    s.damagedAt.pop_back();
    s.damagedAfterSequence.pop_back();
  }
  if (s.open) s.closeUnpublished();
  s.judgeOrderAndChain();
  // In file order; at one row, what the chain says before what the pick says.
  const auto pickFault = [](const PlacedFinding& p) {
    const VerifyFault f = p.finding.fault;
    return f == VerifyFault::PoolSum || f == VerifyFault::PickDiffers ||
           f == VerifyFault::Designated || f == VerifyFault::WrongSecret;
  };
  std::stable_sort(
      s.found.begin(), s.found.end(), [&](const PlacedFinding& a, const PlacedFinding& b) {
        return a.position != b.position ? a.position < b.position : pickFault(a) < pickFault(b);
      });
  VerifyReport report = std::move(s.report);
  for (PlacedFinding& placed : s.found) report.findings.push_back(std::move(placed.finding));
  state_ = std::make_unique<State>();
  return report;
}

std::vector<std::string> VerifyReport::lines() const {
  std::vector<std::string> out = events;
  if (!findings.empty())
    out.push_back("不成立之处 " + std::to_string(findings.size()) + " 处，第一处在最前：");
  for (const VerifyFinding& finding : findings) out.push_back(finding.text);
  std::string summary =
      "共 " + std::to_string(rows) + " 行记录，" + std::to_string(rows - unchained) + " 行带链值";
  if (unchained > 0)
    summary += "，" + std::to_string(unchained) + " 行写于链值启用之前（无法验证，不算错误）";
  if (damaged > 0) summary += "，" + std::to_string(damaged) + " 条残缺记录";
  out.push_back(summary);
  out.push_back("验证活动 " + std::to_string(events.size()) + " 场" +
                (unpublished > 0 ? "，其中 " + std::to_string(unpublished) + " 场密钥尚未公布"
                                 : std::string()));
  if (holds()) {
    out.push_back("结论：通过");
  } else if (findings.empty()) {
    out.push_back("结论：不通过（密钥尚未公布，抽奖尚无法核对）");
  } else {
    out.push_back("结论：不通过（" + findings.front().text + "）");
  }
  return out;
}

std::optional<VerifyReport> verifyJournalFile(const std::string& path) {
  const int fd = openRegularFileForReading(path);
  if (fd < 0) return std::nullopt;
  JournalVerifier verifier;
  std::vector<char> buffer(64 * 1024);
  bool ok = true;
  for (;;) {
    const std::int64_t n = readFile(fd, buffer.data(), buffer.size());
    if (n < 0) ok = false;
    if (n <= 0) break;
    verifier.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  }
  closeFile(fd);
  if (!ok) return std::nullopt;
  return verifier.finish();
}

VerifyCommandOutcome runVerifyCommand(const std::string& path) {
  const std::optional<VerifyReport> report = verifyJournalFile(path);
  if (!report) return {"无法读取抽奖记录：" + path + "\n", 2};
  VerifyCommandOutcome outcome{"抽奖记录：" + path + "\n", report->exitCode()};
  for (const std::string& line : report->lines()) outcome.text += line + "\n";
  return outcome;
}

}  // namespace zv
