// The verifiable event's secret file is the user's own on Linux: mode 0600 from the moment
// it exists, and still after the start rewrites it.
#include <QPushButton>
#include <sys/stat.h>

#include "app/main_window.h"
#include "dialogs/verifiable_window.h"
#include "draw/verifiable_session.h"
#include "widgets/journal_on_stage.h"
#include "layout/window_layouts.h"
#include "stage/verifiable_draws.h"

namespace zv {
namespace {

using testing::JournalOnStage;

TEST_F(JournalOnStage, TheVerifiableSecretFileIsReadableByItsUserAlone) {
  const std::string path = s.dir.file(verifiable_text::kSecretFileName);
  const auto mode = [&path] {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0777u;
  };
  const mode_t old = ::umask(0);  // a umask that would leave a new file open to everyone
  choose(menu::kVerifiable);
  VerifiableWindow& window = *s.stage->verifiable().window();
  window.commitButton()->click();
  EXPECT_EQ(mode(), 0600u);
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);  // opened up by hand since
  window.startButton()->click();
  ::umask(old);
  ASSERT_TRUE(s.stage->verifiable().on());
  EXPECT_EQ(mode(), 0600u);
}

}  // namespace
}  // namespace zv
