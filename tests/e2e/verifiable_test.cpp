// A verifiable event run as an operator runs it, on the real program: the menu, the
// window, an audience number, five draws (one designated with Shift+Q), the secret
// published, and the verifier's verdict on the journal the event left.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <thread>

#include "stage_fixture.h"
#include "store/journal.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

// The popup's rows as the keyboard reaches them: 可验证抽奖 follows 抽奖记录.
constexpr int kVerifiableRow = 12;
constexpr const char* kWindowTitle = "可验证抽奖";

class VerifiableEvent : public StageTest {
 protected:
  void openWindow() {
    xdotool(x.name(), "mousemove 1250 700 click 3");
    std::this_thread::sleep_for(500ms);
    for (int i = 0; i <= kVerifiableRow; ++i) key("Down");
    key("Return");
    ASSERT_TRUE(waitUntil([&] { return x.findWindow(kWindowTitle).has_value(); }, 5s));
    std::this_thread::sleep_for(500ms);
  }
  void closeWindow() {
    key("Escape");
    ASSERT_TRUE(waitUntil([&] { return !x.findWindow(kWindowTitle).has_value(); }, 5s));
    xdotool(x.name(), "mousemove 1300 700");
    std::this_thread::sleep_for(400ms);
  }
  std::vector<JournalRow> journal() {
    return parseJournal(readWholeFile(dir.file(journal_text::kFileName))).rows;
  }
  void drawOnce() {
    const std::size_t rows = journal().size();
    key("space");
    std::this_thread::sleep_for(400ms);
    key("space");
    ASSERT_TRUE(waitUntil([&] { return journal().size() == rows + 1; }, 5s));
    std::this_thread::sleep_for(300ms);
  }
};

struct Verdict {
  int status = -1;
  std::vector<std::string> lines;
};

Verdict verify(const std::string& path) {
  const std::string command = "cd / && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                              std::string(ZV_PROGRAM) + "' --verify '" + path + "' 2>/dev/null";
  Verdict verdict;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return verdict;
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  verdict.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  for (std::size_t start = 0; start < output.size();) {
    const std::size_t end = output.find('\n', start);
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) verdict.lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return verdict;
}

TEST_F(VerifiableEvent, CommitDrawFiveTimesPublishAndTheVerifierNamesTheDesignatedPick) {
  addPrizePictures();
  writeSettings("[zbt]\r\n禁用特效=真\r\nlx=真\r\n一=1\r\n二=1000\r\n三=1000\r\n四=1000\r\n"
                "五=1000\r\n六=1000\r\n七=1000\r\n八=1000\r\n");
  start();

  // 生成承诺 has the keyboard; then the audience number, Tab to 开始可验证抽奖.
  openWindow();
  key("space");
  ASSERT_TRUE(waitUntil([&] { return fileExists(dir.file("可验证抽奖密钥.txt")); }, 5s));
  std::this_thread::sleep_for(300ms);
  xdotool(x.name(), "type 20261210");
  key("Tab");
  key("space");
  ASSERT_TRUE(waitUntil([&] { return !journal().empty(); }, 5s));
  const JournalRow opened = journal().back();
  ASSERT_EQ(opened.event, JournalEvent::VerifyStart);
  EXPECT_EQ(opened.audience, "20261210");
  closeWindow();

  std::int64_t designatedRow = 0;
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    if (i == 2) {
      key("shift+q");
      std::this_thread::sleep_for(300ms);
    }
    drawOnce();
    if (i == 2) designatedRow = journal().back().sequence;
  }
  ASSERT_TRUE(journal().at(3).designated) << "Shift+Q did not decide the third draw";

  // While the event runs 关闭 has the keyboard (a Space meant for the draw only closes the
  // window); Shift+Tab leads back to 结束并公布密钥, then 确定 in the confirmation.
  openWindow();
  key("shift+Tab");
  key("space");
  std::optional<XvfbServer::Area> box;
  ASSERT_TRUE(waitUntil([&] { return (box = x.findWindow("结束并公布密钥")).has_value(); }, 5s));
  // Keys go to the window under the pointer.
  xdotool(x.name(), "mousemove " + std::to_string(box->x + box->width / 2) + " " +
                        std::to_string(box->y + box->height / 2));
  std::this_thread::sleep_for(300ms);
  key("shift+Tab");  // 取消 is the default: to 确定
  key("space");
  ASSERT_TRUE(waitUntil([&] { return journal().back().event == JournalEvent::VerifyEnd; }, 5s));
  // Removed right after the row is on disk.
  EXPECT_TRUE(waitUntil([&] { return !pathExists(dir.file("可验证抽奖密钥.txt")); }, 5s));
  xdotool(x.name(), "mousemove 1250 700");
  closeWindow();

  const Verdict verdict = verify(dir.file(journal_text::kFileName));
  std::string output;
  for (const std::string& line : verdict.lines) output += line + "\n";
  EXPECT_EQ(verdict.status, 1) << "a designated pick does not follow from the secret\n" << output;
  ASSERT_FALSE(verdict.lines.empty());
  EXPECT_EQ(verdict.lines.back().rfind("结论：不通过", 0), 0u) << output;
  // The designated row is named as such, and no other landing is named at all: each of
  // them is the pick the secret gives for its row.
  const std::string named = "序号 " + std::to_string(designatedRow);
  bool designatedNamed = false;
  for (const std::string& line : verdict.lines) {
    designatedNamed |= line.find(named) != std::string::npos &&
                       line.find("指定中奖") != std::string::npos;
    for (const JournalRow& row : journal()) {
      if (row.event != JournalEvent::Win || row.sequence == designatedRow) continue;
      const std::string other = "序号 " + std::to_string(row.sequence);
      const std::size_t at = line.find(other);
      const bool whole = at != std::string::npos &&
                         (at + other.size() == line.size() ||
                          !std::isdigit(static_cast<unsigned char>(line[at + other.size()])));
      EXPECT_FALSE(whole) << line;
    }
  }
  EXPECT_TRUE(designatedNamed) << output;
  EXPECT_TRUE(program->running());
}

}  // namespace
}  // namespace zv::e2e
