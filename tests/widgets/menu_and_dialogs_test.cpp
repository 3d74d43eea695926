// The popup menu and what it opens: help, about, the exit confirmation, the password gate,
// the prize settings and the results window.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/input_boxes.h"
#include "dialogs/logic/password_scramble.h"
#include "dialogs/message_boxes.h"
#include "dialogs/password_window.h"
#include "dialogs/results_window.h"
#include "platform/files.h"
#include "stage_fixture.h"
#include "store/ini_file.h"

namespace zv {
namespace {

using testing::StageFixture;

class Menu : public ::testing::Test {
 protected:
  void SetUp() override {
    s.start();
    s.form().show();
    MessageBoxes::clearShown();
    InputBoxes::clearAsked();
  }
  void choose(const char* caption) { s.form().menuItem(caption)->action()->trigger(); }
  const MessageRequest& lastMessage() {
    EXPECT_FALSE(MessageBoxes::shown().empty());
    return MessageBoxes::shown().back();
  }
  std::string stored(const char* key) { return ini::read(s.dir.file("config.a"), "zbt", key); }
  PasswordWindow& gate() {
    choose("奖项设置");
    EXPECT_NE(s.stage->passwordWindow(), nullptr);
    return *s.stage->passwordWindow();
  }
  QLineEdit* entry(PasswordWindow& g) { return g.form().unit<QLineEdit>("编辑框1"); }
  void press(forms::Form& form, const char* button) {
    QTest::mouseClick(form.unit<QWidget>(button), Qt::LeftButton);
  }
  StageFixture s;
};

TEST_F(Menu, OpensBesideTheCursorWithEveryItemButTheHiddenOne) {
  QWidget* title = s.unit<QWidget>(units::kMainTitle);
  QTest::mousePress(title, Qt::RightButton, {}, QPoint(5, 5));
  QMenu* popup = s.form().popupMenu();
  ASSERT_TRUE(popup->isVisible());
  EXPECT_EQ(popup->pos(), title->mapToGlobal(QPoint(5, 5)) + QPoint(3, 3));
  int shown = 0;
  bool inAddedGroup = false;  // items beyond the original, between two separators
  for (QAction* action : popup->actions()) {
    if (action->isSeparator()) {
      inAddedGroup = !inAddedGroup;
    } else if (!inAddedGroup) {
      shown += action->isVisible();
    }
  }
  EXPECT_EQ(shown, 13);  // fourteen items, "转盘放大" never shows
  popup->hide();
}

TEST_F(Menu, HelpAndAboutTexts) {
  choose("帮助");
  EXPECT_EQ(lastMessage().title, "Zorvane帮助信息！");
  EXPECT_EQ(lastMessage().text,
            "1.双击各个图片，可以选择自己的抽奖图片！(图片不要过大，50K以下最好！)\r\n2.右键弹出菜单！");
  EXPECT_EQ(lastMessage().icon, MessageIcon::None);
  choose("关于");
  EXPECT_EQ(lastMessage().title, "自定义Zorvane软件V1.7");
  EXPECT_EQ(lastMessage().text, "自定义Zorvane软件V1.7");
  EXPECT_EQ(lastMessage().buttons, MessageButtons::Ok);
}

TEST_F(Menu, ExitAsksFirstBothFromTheMenuAndOnClose) {
  MessageBoxes::setNextAnswer(MessageAnswer::Cancel);
  choose("退出");
  EXPECT_EQ(lastMessage().text, "确定退出程序吗？");
  EXPECT_EQ(lastMessage().title, "确定退出吗？");
  EXPECT_EQ(lastMessage().buttons, MessageButtons::OkCancel);
  EXPECT_EQ(s.quits, 0);

  MessageBoxes::setNextAnswer(MessageAnswer::Cancel);  // Esc or closing the box
  const auto before = MessageBoxes::shown().size();
  EXPECT_FALSE(s.form().close());
  EXPECT_EQ(MessageBoxes::shown().size(), before + 1);
  EXPECT_TRUE(s.form().isVisible());
  EXPECT_EQ(s.quits, 0);

  MessageBoxes::setNextAnswer(MessageAnswer::Ok);
  choose("退出");
  EXPECT_EQ(s.quits, 1);
  MessageBoxes::setNextAnswer(MessageAnswer::Ok);
  EXPECT_TRUE(s.form().close());
  EXPECT_EQ(s.quits, 2);
}

TEST_F(Menu, AConfirmedExitAsksOnceThoughTheQuitClosesTheStage) {
  // The application's quit closes every window, the stage too, before it returns.
  s.onQuit = [this] { s.form().close(); };
  MessageBoxes::setNextAnswer(MessageAnswer::Ok);
  choose("退出");
  EXPECT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_EQ(s.quits, 1);
  EXPECT_FALSE(s.form().isVisible());
}

TEST_F(Menu, AFreshInstallationLetsOnlyTheEmptyPasswordThrough) {
  PasswordWindow& g = gate();
  EXPECT_TRUE(g.form().isVisible());
  EXPECT_EQ(g.form().windowTitle(), "密码设置！");
  EXPECT_EQ(entry(g)->echoMode(), QLineEdit::Password);
  entry(g)->setText("x");
  press(g.form(), "按钮_登陆");
  EXPECT_EQ(lastMessage().text, "密码不正确！请重新输入。");
  EXPECT_EQ(lastMessage().title, "信息：");
  EXPECT_EQ(g.prizeSettings(), nullptr);
  EXPECT_EQ(entry(g)->text(), "x");  // the entry keeps what was typed

  entry(g)->clear();
  press(g.form(), "按钮_登陆");
  ASSERT_NE(g.prizeSettings(), nullptr);
  EXPECT_TRUE(g.prizeSettings()->form().isVisible());
}

TEST_F(Menu, ChangingThePassword) {
  PasswordWindow& g = gate();
  // Wrong current password: nothing is written.
  entry(g)->setText("nope");
  press(g.form(), "按钮_修改密码");
  EXPECT_EQ(lastMessage().text, "请在密码框输入原始密码后再修改！");
  EXPECT_EQ(stored("password"), "");
  EXPECT_TRUE(InputBoxes::asked().empty());

  // An empty new password stores the salt alone and keeps the window open.
  entry(g)->clear();
  InputBoxes::setNextAnswer("");
  press(g.form(), "按钮_修改密码");
  EXPECT_EQ(InputBoxes::asked().back(), "请输入密码");
  EXPECT_EQ(stored("password").size(), 2u);
  EXPECT_EQ(lastMessage().text, "您没有设置任何密码！");
  EXPECT_TRUE(g.form().isVisible());

  InputBoxes::setNextAnswer("奖abc");
  press(g.form(), "按钮_修改密码");
  EXPECT_EQ(lastMessage().text, "设置成功！请牢记您的密码！");
  EXPECT_TRUE(passwordMatches("奖abc", stored("password")));
  EXPECT_FALSE(g.form().isVisible());
}

TEST_F(Menu, ACancelledInputKeepsThePasswordUnderANewSalt) {
  ini::write(s.dir.file("config.a"), "zbt", "password", "ABJIIEBD");  // "abc"
  PasswordWindow& g = gate();
  entry(g)->setText("abc");
  InputBoxes::setNextAnswer(std::nullopt);
  press(g.form(), "按钮_修改密码");
  EXPECT_NE(stored("password"), "ABJIIEBD");
  EXPECT_TRUE(passwordMatches("abc", stored("password")));
  EXPECT_EQ(lastMessage().text, "设置成功！请牢记您的密码！");
}

TEST_F(Menu, APasswordEditedInTheFileCountsAtTheNextPress) {
  PasswordWindow& g = gate();
  ini::write(s.dir.file("config.a"), "zbt", "password", passwordScrambleWithSalt("k", "ZZ"));
  press(g.form(), "按钮_登陆");
  EXPECT_EQ(lastMessage().text, "密码不正确！请重新输入。");
  entry(g)->setText("k");
  press(g.form(), "按钮_登陆");
  EXPECT_NE(g.prizeSettings(), nullptr);
}

TEST_F(Menu, PrizeSettingsFirstOpeningStoreAndClose) {
  PasswordWindow& g = gate();
  press(g.form(), "按钮_登陆");
  forms::Form& p = g.prizeSettings()->form();
  const char* defaults[] = {"1", "2", "4", "8", "10", "15", "20", "50"};
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(p.unit<QLineEdit>("编辑框" + std::to_string(i))->text(), defaults[i - 1]);
  }
  EXPECT_TRUE(p.unit<QRadioButton>("单选框1")->isChecked());
  EXPECT_FALSE(p.unit<QRadioButton>("单选框2")->isChecked());
  EXPECT_EQ(p.unit<forms::PictureBox>("图片框5")->picture(),
            s.unit<forms::PictureBox>(units::prizeBox(5))->picture());

  p.unit<QLineEdit>("编辑框3")->setText("abc");
  press(p, "按钮1");
  EXPECT_EQ(lastMessage().text, "设置成功！");
  EXPECT_EQ(lastMessage().title, "信息：");
  EXPECT_EQ(stored("三"), "abc");
  EXPECT_EQ(stored("一"), "1");
  EXPECT_EQ(s.stage->state().prizeValues[2], 0);
  EXPECT_FALSE(p.isVisible());
  // The gate closes once the prize settings have.
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.stage->passwordWindow() == nullptr; }, 1000));

  // The next opening shows what was stored.
  PasswordWindow& again = gate();
  press(again.form(), "按钮_登陆");
  EXPECT_EQ(again.prizeSettings()->form().unit<QLineEdit>("编辑框3")->text(), "abc");
}

TEST_F(Menu, AnEmptiedFirstValueBringsBackTheLayoutTexts) {
  ini::write(s.dir.file("config.a"), "zbt", "一", "");
  ini::write(s.dir.file("config.a"), "zbt", "二", "99");
  PasswordWindow& g = gate();
  press(g.form(), "按钮_登陆");
  EXPECT_EQ(g.prizeSettings()->form().unit<QLineEdit>("编辑框2")->text(), "2");
}

TEST_F(Menu, ARadioClickIsStoredAtOnceEvenWhenTheWindowIsClosed) {
  PasswordWindow& g = gate();
  press(g.form(), "按钮_登陆");
  forms::Form& p = g.prizeSettings()->form();
  press(p, "单选框2");
  EXPECT_EQ(stored("lx"), "真");
  EXPECT_TRUE(p.unit<QRadioButton>("单选框2")->isChecked());
  EXPECT_FALSE(p.unit<QRadioButton>("单选框1")->isChecked());
  p.close();
  EXPECT_EQ(stored("lx"), "真");
  EXPECT_EQ(stored("一"), "");  // the title-bar close stores nothing more
  press(g.form(), "按钮_登陆");
  press(g.prizeSettings()->form(), "单选框1");
  EXPECT_EQ(stored("lx"), "假");
}

TEST_F(Menu, AFailedWriteIsReportedAndTheWindowStaysOpen) {
  PasswordWindow& g = gate();
  press(g.form(), "按钮_登陆");
  forms::Form& p = g.prizeSettings()->form();
  // A directory where the settings file should be: every write fails.
  std::filesystem::remove(s.dir.file("config.a"));
  std::filesystem::create_directory(s.dir.file("config.a"));
  MessageBoxes::clearShown();
  p.unit<QLineEdit>("编辑框1")->setText("7");
  press(p, "按钮1");
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(lastMessage().text.find("config.a"), std::string::npos);
  EXPECT_TRUE(p.isVisible());
  EXPECT_EQ(p.unit<QLineEdit>("编辑框1")->text(), "7");
  EXPECT_EQ(s.stage->state().prizeValues[0], 1);
}

TEST_F(Menu, ResultsShowTheStoredTalliesAndClearThem) {
  choose("中奖结果");
  ResultsWindow* r = s.stage->resultsWindow();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->form().windowTitle(), "中奖结果");
  for (int i = 1; i <= 8; ++i) {
    auto* box = r->form().unit<QLineEdit>("编辑框" + std::to_string(i));
    EXPECT_EQ(box->text(), "");  // no file: empty, not "0"
    // Not typed into, never the keyboard's, and drawn in the normal text colour.
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(box->isEnabled());
  }
  press(r->form(), "按钮1");
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(r->form().unit<QLineEdit>("编辑框" + std::to_string(i))->text(), "0");
    EXPECT_EQ(ini::read(s.dir.file("jieguo.a"), "zjjg", "j" + std::to_string(i)), "0");
  }
  EXPECT_TRUE(r->form().isVisible());
  // The question before clearing, and no failure report.
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_EQ(lastMessage().text, "确定清空全部中奖结果吗？");
  r->form().close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.stage->resultsWindow() == nullptr; }, 1000));

  ini::write(s.dir.file("jieguo.a"), "zjjg", "j4", "2.5");
  choose("中奖结果");
  EXPECT_EQ(s.stage->resultsWindow()->form().unit<QLineEdit>("编辑框4")->text(), "2.5");
}

TEST_F(Menu, TheWindowsItOpensStayAboveTheStage) {
  // Transient for the stage: the window manager keeps them above it, full screen or not.
  choose("中奖结果");
  ASSERT_NE(s.stage->resultsWindow(), nullptr);
  QWindow* results = s.stage->resultsWindow()->form().windowHandle();
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(results->transientParent(), s.form().windowHandle());
  s.stage->resultsWindow()->form().close();
  PasswordWindow& g = gate();
  EXPECT_EQ(g.form().windowHandle()->transientParent(), s.form().windowHandle());
}

TEST_F(Menu, EscClosesTheWindowsItOpens) {
  choose("中奖结果");
  ASSERT_NE(s.stage->resultsWindow(), nullptr);
  QTest::keyClick(&s.stage->resultsWindow()->form(), Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return s.stage->resultsWindow() == nullptr; }, 1000));
  PasswordWindow& g = gate();
  QTest::keyClick(entry(g), Qt::Key_Escape);  // typed into the password box
  EXPECT_TRUE(QTest::qWaitFor([&] { return s.stage->passwordWindow() == nullptr; }, 1000));
  // The stage itself stays.
  QTest::keyClick(&s.form(), Qt::Key_Escape);
  EXPECT_TRUE(s.form().isVisible());
}

TEST_F(Menu, AClearInQuantityModeGivesTheFullPoolAgain) {
  ini::write(s.dir.file("config.a"), "zbt", "一", "1");
  ini::write(s.dir.file("jieguo.a"), "zjjg", "j1", "1");
  s.stage->draw().toggle();
  EXPECT_FALSE(s.stage->draw().rolling());  // used up
  choose("中奖结果");
  press(s.stage->resultsWindow()->form(), "按钮1");
  s.stage->draw().toggle();
  EXPECT_TRUE(s.stage->draw().rolling());
}


// The results window with every tally at a value of its own.
class Results : public Menu {
 protected:
  void SetUp() override {
    Menu::SetUp();
    for (int i = 1; i <= 8; ++i) {
      ini::write(s.dir.file("jieguo.a"), "zjjg", "j" + std::to_string(i), std::to_string(i + 2));
    }
    before = readWholeFile(s.dir.file("jieguo.a"));
    choose("中奖结果");
    ASSERT_NE(s.stage->resultsWindow(), nullptr);
    MessageBoxes::clearShown();
  }
  forms::Form& window() { return s.stage->resultsWindow()->form(); }
  std::string box(int i) {
    return window().unit<QLineEdit>("编辑框" + std::to_string(i))->text().toStdString();
  }
  void expectUntouched() {
    EXPECT_EQ(readWholeFile(s.dir.file("jieguo.a")), before);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(box(i), std::to_string(i + 2)) << i;
  }
  std::string before;
};

TEST_F(Results, SpaceAndEnterNeverReachTheClearButton) {
  auto* clear = window().unit<QPushButton>("按钮1");
  EXPECT_EQ(clear->focusPolicy(), Qt::NoFocus);
  EXPECT_FALSE(clear->isDefault());
  EXPECT_FALSE(clear->autoDefault());
  window().activateWindow();
  QApplication::processEvents();
  EXPECT_FALSE(clear->hasFocus());
  // Through the window system, as an operator's keys arrive: to whatever has the focus.
  for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab, Qt::Key_Space}) {
    QTest::keyClick(window().windowHandle(), key);
  }
  QApplication::processEvents();
  EXPECT_FALSE(clear->hasFocus());
  EXPECT_TRUE(MessageBoxes::shown().empty());  // not even the question
  expectUntouched();
  // A click does not leave the focus on it either.
  MessageBoxes::setNextAnswer(MessageAnswer::Cancel);
  press(window(), "按钮1");
  EXPECT_FALSE(clear->hasFocus());
}

TEST_F(Results, ClearingAsksFirstAndCancelChangesNothing) {
  MessageBoxes::setNextAnswer(MessageAnswer::Cancel);
  press(window(), "按钮1");
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_EQ(lastMessage().text, "确定清空全部中奖结果吗？");
  EXPECT_EQ(lastMessage().title, "信息：");
  EXPECT_EQ(lastMessage().buttons, MessageButtons::OkCancelDefaultCancel);
  expectUntouched();

  MessageBoxes::setNextAnswer(MessageAnswer::Ok);
  press(window(), "按钮1");
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(box(i), "0");
    EXPECT_EQ(ini::read(s.dir.file("jieguo.a"), "zjjg", "j" + std::to_string(i)), "0");
  }
  EXPECT_EQ(MessageBoxes::shown().size(), 2u);
}

TEST_F(Results, AFailedClearIsReportedByNameAndTheBoxesKeepTheirTallies) {
  std::filesystem::remove(s.dir.file("jieguo.a"));
  std::filesystem::create_directory(s.dir.file("jieguo.a"));
  MessageBoxes::setNextAnswer(MessageAnswer::Ok);
  press(window(), "按钮1");
  ASSERT_EQ(MessageBoxes::shown().size(), 2u);
  EXPECT_NE(lastMessage().text.find("jieguo.a"), std::string::npos);
  EXPECT_EQ(box(3), "5");
}

// The real box behind the facade: 取消 is the default, so a reflexive Enter or Space
// keeps the tallies.
TEST(ConfirmBox, EnterAndSpaceAnswerCancelAndOnlyOkConfirms) {
  MessageBoxes::setScripted(false);
  const struct {
    Qt::Key key;
    bool pressOk;
    bool confirmed;
  } cases[] = {{Qt::Key_Return, false, false}, {Qt::Key_Space, false, false},
               {Qt::Key_Escape, false, false}, {Qt::Key_Return, true, true}};
  for (const auto& c : cases) {
    QString defaultCaption, focusCaption;
    QTimer::singleShot(0, [&] {
      QMessageBox* box = nullptr;
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
      }
      if (!box) return ADD_FAILURE() << "no box shown";
      defaultCaption = box->defaultButton()->text();
      if (c.pressOk) box->button(QMessageBox::Ok)->setFocus();
      QWidget* focus = box->focusWidget();
      focusCaption = focus ? focus->property("text").toString() : QString();
      QTest::keyClick(focus ? focus : box, c.key);
    });
    EXPECT_EQ(MessageBoxes::confirm("确定清空全部中奖结果吗？"), c.confirmed) << c.key;
    EXPECT_EQ(defaultCaption, "取消");
    if (!c.pressOk) {
      EXPECT_EQ(focusCaption, "取消");
    }
  }
  MessageBoxes::setScripted(true);
}

}  // namespace
}  // namespace zv
