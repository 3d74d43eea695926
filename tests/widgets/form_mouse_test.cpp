// Press, move and release reach the unit that was pressed, wherever the mouse goes until
// the release, through the window as the window system delivers them.
#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>

#include "forms/form.h"

namespace zv {
namespace {

using forms::EventKind;
using forms::UnitDescription;
using forms::UnitEvent;
using forms::UnitKind;

struct Seen {
  std::string unit;
  EventKind event;
  QPoint global;
};

class FormMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::WindowDescription d;
    d.caption = "mouse";
    d.width = 400;
    d.height = 300;
    const std::vector<forms::EventBinding> all = {{EventKind::LeftButtonDown, "h"},
                                                  {EventKind::LeftButtonMove, "h"},
                                                  {EventKind::LeftButtonUp, "h"}};
    d.units.push_back({.name = "bound",
                       .kind = UnitKind::PictureBox,
                       .left = 10,
                       .top = 10,
                       .width = 100,
                       .height = 100,
                       .events = all});
    d.units.push_back({.name = "child",
                       .kind = UnitKind::PictureBox,
                       .parent = "bound",
                       .left = 50,
                       .top = 50,
                       .width = 40,
                       .height = 40});
    d.units.push_back({.name = "pressOnly",
                       .kind = UnitKind::TransparentLabel,
                       .left = 200,
                       .top = 10,
                       .width = 100,
                       .height = 100,
                       .events = {{EventKind::LeftButtonDown, "h"}}});
    form = forms::buildForm(
        d, {{"h", [this](const UnitEvent& e) { seen.push_back({e.unit, e.event, e.globalPos}); }}});
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    window = form->windowHandle();
    // A test before may have left a button held (a press without release).
    for (Qt::MouseButton held : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
      QTest::mouseRelease(window, held, {}, QPoint(390, 290));
    }
    seen.clear();
  }
  QPoint global(QPoint local) const { return form->mapToGlobal(local); }

  std::unique_ptr<forms::Form> form;
  QWindow* window = nullptr;
  std::vector<Seen> seen;
};

TEST_F(FormMouseTest, TheBoundUnitFollowsTheMouseUntilTheRelease) {
  QTest::mousePress(window, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseMove(window, QPoint(60, 30));
  QTest::mouseMove(window, QPoint(350, 280));  // beyond the unit and over another
  QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(350, 280));
  QTest::mouseMove(window, QPoint(30, 30));  // no button held: nothing

  ASSERT_EQ(seen.size(), 4u);
  const EventKind kinds[] = {EventKind::LeftButtonDown, EventKind::LeftButtonMove,
                             EventKind::LeftButtonMove, EventKind::LeftButtonUp};
  const QPoint at[] = {QPoint(20, 20), QPoint(60, 30), QPoint(350, 280), QPoint(350, 280)};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].unit, "bound") << i;
    EXPECT_EQ(seen[i].event, kinds[i]) << i;
    EXPECT_EQ(seen[i].global, global(at[i])) << i;
  }
}

TEST_F(FormMouseTest, OnlyTheBindingsOfTheUnitPressedAndOfTheLeftButtonRun) {
  // A child without bindings keeps its presses: its parent's drag does not start.
  QTest::mousePress(window, Qt::LeftButton, {}, QPoint(70, 70));
  QTest::mouseMove(window, QPoint(80, 80));
  QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(80, 80));
  EXPECT_TRUE(seen.empty());

  // Press bound, move and release not: only the press.
  QTest::mousePress(window, Qt::LeftButton, {}, QPoint(210, 20));
  QTest::mouseMove(window, QPoint(220, 30));
  QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(220, 30));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].event, EventKind::LeftButtonDown);
  seen.clear();

  // The right button drags nothing.
  QTest::mousePress(window, Qt::RightButton, {}, QPoint(20, 20));
  QTest::mouseMove(window, QPoint(40, 40));
  QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(40, 40));
  EXPECT_TRUE(seen.empty());
}

TEST_F(FormMouseTest, DispatchTellsTheHandlerWhichEvent) {
  EXPECT_TRUE(form->dispatch("bound", EventKind::LeftButtonUp, UnitEvent{.globalPos = {7, 8}}));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].event, EventKind::LeftButtonUp);
  EXPECT_EQ(seen[0].global, QPoint(7, 8));
}

}  // namespace
}  // namespace zv
