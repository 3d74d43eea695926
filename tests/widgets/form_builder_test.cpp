// Windows built from their layouts: every bound handler must exist, units are found by
// name, mouse presses reach only the units bound to them, timers follow their rules.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <set>

#include "dialogs/dialog_layouts.h"
#include "layout/window_layouts.h"
#include "forms/form.h"

namespace zv {
namespace {

using forms::EventKind;
using forms::Form;
using forms::HandlerTable;
using forms::UnitEvent;
using forms::WindowDescription;

void collect(const std::vector<forms::MenuItemDescription>& items, std::set<std::string>& names) {
  for (const auto& item : items) {
    if (!item.handler.empty()) names.insert(item.handler);
    collect(item.items, names);
  }
}

std::set<std::string> boundHandlers(const WindowDescription& d) {
  std::set<std::string> names;
  for (const auto& e : d.events) names.insert(e.handler);
  for (const auto& u : d.units)
    for (const auto& e : u.events) names.insert(e.handler);
  collect(d.popupMenu, names);
  return names;
}

// A table with every handler the layout binds, each counting its calls per unit.
struct Recorder {
  std::map<std::string, int> calls;  // "handler@unit"
  HandlerTable table(const WindowDescription& d) {
    HandlerTable t;
    for (const std::string& name : boundHandlers(d)) {
      t[name] = [this, name](const UnitEvent& e) { ++calls[name + "@" + e.unit]; };
    }
    return t;
  }
};

const WindowDescription* const kLayouts[] = {&mainWindowLayout(), &prizeSettingsLayout(),
                                             &resultsLayout(), &passwordLayout()};

TEST(FormBuilder, EveryLayoutBuildsWithItsHandlers) {
  for (const WindowDescription* layout : kLayouts) {
    Recorder recorder;
    auto form = forms::buildForm(*layout, recorder.table(*layout));
    ASSERT_EQ(form->unitNames().size(), layout->units.size());
    for (const auto& unit : layout->units) EXPECT_NE(form->find(unit.name), nullptr) << unit.name;
    EXPECT_EQ(form->windowTitle().toStdString(), layout->caption);
    EXPECT_EQ(form->geometry(), QRect(50, 50, layout->width, layout->height));
  }
}

TEST(FormBuilder, AMissingHandlerFailsLoudly) {
  for (const WindowDescription* layout : kLayouts) {
    for (const std::string& missing : boundHandlers(*layout)) {
      Recorder recorder;
      HandlerTable table = recorder.table(*layout);
      table.erase(missing);
      EXPECT_THROW(forms::buildForm(*layout, table), std::logic_error) << missing;
    }
  }
}

TEST(FormBuilder, BrokenDescriptionsFailLoudly) {
  WindowDescription d{.caption = "x", .width = 10, .height = 10};
  d.units.push_back({.name = "a", .kind = forms::UnitKind::Label, .parent = "nowhere"});
  EXPECT_THROW(forms::buildForm(d, {}), std::logic_error);
  d.units = {{.name = "a"}, {.name = "a"}};
  EXPECT_THROW(forms::buildForm(d, {}), std::logic_error);
}

TEST(FormBuilder, PicturesComeFromTheResolverByTheirId) {
  WindowDescription d{.caption = "x", .width = 100, .height = 100};
  d.units = {{.name = "known", .kind = forms::UnitKind::PictureBox, .picture = "icon"},
             {.name = "unknown", .kind = forms::UnitKind::PictureBox, .picture = "other"},
             {.name = "none", .kind = forms::UnitKind::PictureBox}};
  std::vector<std::string> asked;
  auto form = forms::buildForm(d, {}, [&asked](std::string_view id) {
    asked.emplace_back(id);
    return id == "icon" ? std::string("bytes") : std::string();
  });
  EXPECT_EQ(asked, (std::vector<std::string>{"icon", "other"}));
  EXPECT_EQ(form->unit<forms::PictureBox>("known")->picture().view(), "bytes");
  EXPECT_TRUE(form->unit<forms::PictureBox>("unknown")->picture().empty());
  // Without a resolver a named picture stays empty rather than failing.
  auto bare = forms::buildForm(d, {});
  EXPECT_TRUE(bare->unit<forms::PictureBox>("known")->picture().empty());
}

TEST(FormBuilder, UnitsAreFoundByNameAndKind) {
  Recorder recorder;
  auto form = forms::buildForm(mainWindowLayout(), recorder.table(mainWindowLayout()));
  EXPECT_NE(form->unit<forms::PictureBox>("图片框1"), nullptr);
  EXPECT_NE(form->unit<QWidget>("图片框1"), nullptr);
  EXPECT_THROW(form->unit<forms::EditBox>("图片框1"), std::out_of_range);
  EXPECT_THROW(form->unit<QWidget>("图片框0"), std::out_of_range);
  EXPECT_EQ(form->unit<forms::TransparentLabel>("透明标签_开始")->caption(), "开始");
  auto password = forms::buildForm(passwordLayout(), recorder.table(passwordLayout()));
  EXPECT_EQ(password->unit<QLineEdit>("编辑框1")->echoMode(), QLineEdit::Password);
}

TEST(MainLayout, ExactlyTheseUnitsOpenThePopup) {
  std::set<std::string> popup;
  for (const auto& unit : mainWindowLayout().units)
    for (const auto& e : unit.events)
      if (e.event == EventKind::RightButtonDown) popup.insert(unit.name);
  const std::set<std::string> expected = {
      "外形框1",       "图片框_背景",   "图片框1",         "图片框2",         "图片框3",
      "图片框4",       "图片框5",       "图片框6",         "图片框7",         "图片框8",
      "透明标签_开始", "透明标签_结束", "透明标签_主标题", "透明标签_副标题", "图片框a_结果",
      "标签_zd",       "标签2"};
  EXPECT_EQ(popup, expected);
}

TEST(MainLayout, RightPressesReachOnlyBoundUnits) {
  Recorder recorder;
  auto form = forms::buildForm(mainWindowLayout(), recorder.table(mainWindowLayout()));
  form->show();
  form->unit<QWidget>("外形框2")->show();
  auto rightPress = [&](const char* unit) {
    QWidget* w = form->unit<QWidget>(unit);
    QTest::mousePress(w, Qt::RightButton, {}, QPoint(2, 2));
    QTest::mouseRelease(w, Qt::RightButton, {}, QPoint(2, 2));
  };
  rightPress("图片框3");
  rightPress("标签2");
  for (const char* quiet :
       {"编辑框_滚动速度", "选择框_禁用特效", "按钮_保存", "标签6", "分组框1"}) {
    rightPress(quiet);
  }
  QTest::mousePress(form.get(), Qt::RightButton, {}, QPoint(700, 5));
  EXPECT_EQ(recorder.calls["popup@图片框3"], 1);
  EXPECT_EQ(recorder.calls["popup@标签2"], 1);
  EXPECT_EQ(recorder.calls["popup@"], 1);  // the window background, only once
  int total = 0;
  for (const auto& [key, count] : recorder.calls) total += count;
  EXPECT_EQ(total, 3);
}

TEST(MainLayout, PressesAndClicksRunTheirHandlers) {
  Recorder recorder;
  auto form = forms::buildForm(mainWindowLayout(), recorder.table(mainWindowLayout()));
  form->show();
  QTest::mousePress(form->unit<QWidget>("透明标签_开始"), Qt::LeftButton);
  QTest::mouseDClick(form->unit<QWidget>("图片框2"), Qt::LeftButton);
  form->unit<QWidget>("外形框2")->show();
  QTest::mouseClick(form->unit<QWidget>("按钮_保存"), Qt::LeftButton);
  EXPECT_EQ(recorder.calls["draw.start@透明标签_开始"], 1);
  EXPECT_EQ(recorder.calls["prize.changePicture@图片框2"], 1);
  EXPECT_EQ(recorder.calls["panel.save@按钮_保存"], 1);
  EXPECT_TRUE(form->dispatch("标签_zd", EventKind::HotKey));
  EXPECT_EQ(recorder.calls["draw.designatedMarker@标签_zd"], 1);
  EXPECT_FALSE(form->dispatch("图片框1", EventKind::Click));
}

TEST(MainLayout, PopupMenuTreeAndTickMarks) {
  Recorder recorder;
  auto form = forms::buildForm(mainWindowLayout(), recorder.table(mainWindowLayout()));
  // Items beyond the original sit in a group between two separators; the original items
  // keep their order around it.
  QStringList top, added;
  bool inAddedGroup = false;
  for (QAction* action : form->popupMenu()->actions()) {
    if (action->isSeparator()) {
      inAddedGroup = !inAddedGroup;
      if (inAddedGroup) {
        EXPECT_EQ(top.back(), "界面大小");
      }
      continue;
    }
    (inAddedGroup ? added : top) << action->text();
  }
  EXPECT_FALSE(inAddedGroup);
  EXPECT_EQ(added,
            QStringList({"演出效果", "抽奖记录", "可验证抽奖", "作废上次中奖", "彩排模式",
                         "打开活动文件夹"}));
  QStringList show;
  for (QAction* a : form->menuItem("演出效果")->submenu()->actions()) show << a->text();
  EXPECT_EQ(show, QStringList({"减速停止", "滚动音效", "中奖特写", "烟花平滑"}));
  EXPECT_EQ(top, QStringList({"奖项设置", "其它设置", "转盘放大", "主标题", "副标题", "中奖结果",
                              "转盘样式", "字体颜色设置", "背景图控制", "背景音乐控制", "界面大小",
                              "帮助", "关于", "退出"}));
  EXPECT_TRUE(form->menuItem("转盘放大")->isHidden());
  EXPECT_TRUE(form->menuItem("样式一")->isTicked());
  QStringList music;
  for (QAction* a : form->menuItem("背景音乐控制")->submenu()->actions()) music << a->text();
  EXPECT_EQ(music, QStringList({"更换背景音乐", "启用背景音乐", "禁用背景音乐"}));

  // Choosing an item runs its handler and leaves its tick mark alone.
  form->menuItem("样式二")->action()->trigger();
  form->menuItem("帮助")->action()->trigger();
  EXPECT_EQ(recorder.calls["menu.style2@"], 1);
  EXPECT_EQ(recorder.calls["menu.help@"], 1);
  EXPECT_FALSE(form->menuItem("样式二")->isTicked());
  EXPECT_FALSE(form->menuItem("样式二")->action()->isChecked());
  EXPECT_FALSE(form->menuItem("帮助")->action()->isChecked());
  form->menuItem("样式一")->action()->trigger();
  EXPECT_TRUE(form->menuItem("样式一")->action()->isChecked());
}

TEST(WindowTimer, IntervalRules) {
  forms::WindowTimer timer;
  int ticks = 0;
  timer.onTick([&] { ++ticks; });
  timer.setInterval(-5);
  EXPECT_EQ(timer.interval(), 0);
  EXPECT_FALSE(timer.isRunning());

  timer.setInterval(1000);
  EXPECT_TRUE(timer.isRunning());
  QTest::qWait(300);
  timer.setInterval(1000);  // unchanged: the countdown goes on
  EXPECT_LT(timer.remainingTime(), 800);
  timer.setInterval(999);  // a new value restarts it
  EXPECT_GT(timer.remainingTime(), 900);
  timer.setInterval(0);
  EXPECT_FALSE(timer.isRunning());

  timer.setInterval(20);
  QTest::qWait(150);
  EXPECT_GE(ticks, 3);
}

}  // namespace
}  // namespace zv
