// Behaviour that only shows on a real desktop, checked at the widget level: where a grabbed
// Shift+Q goes, the overlay's window kind and its effect on the stage's other units, and
// the glow of a highlighted slot without a picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <memory>

#include "draw/random_source.h"
#include "forms/units.h"
#include "host/effects_window.h"
#include "host/native_window.h"
#include "platform/qt/text_focus.h"

namespace zv {
namespace {

// A window with one focused field; the field kind and its state vary per case.
struct FieldCase {
  const char* name;
  std::function<QWidget*(QWidget*)> make;
  bool typed;
};

TEST(GrabbedShiftQ, TypesIntoTheProgramsOwnEditableFieldsOnly) {
  const std::vector<FieldCase> cases = {
      {"line edit", [](QWidget* p) { return new QLineEdit(p); }, true},
      {"password line edit",
       [](QWidget* p) {
         auto* e = new QLineEdit(p);
         e->setEchoMode(QLineEdit::Password);
         return e;
       },
       true},
      {"plain text edit", [](QWidget* p) { return new QPlainTextEdit(p); }, true},
      {"read-only line edit",
       [](QWidget* p) {
         auto* e = new QLineEdit(p);
         e->setReadOnly(true);
         return e;
       },
       false},
      {"plain widget (the stage's draw key target)",
       [](QWidget* p) {
         auto* w = new QWidget(p);
         w->setFocusPolicy(Qt::StrongFocus);
         return w;
       },
       false},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget window;
    QWidget* field = c.make(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(focusedTextField() != nullptr, c.typed);
    EXPECT_EQ(typeIntoFocusedTextField(Qt::Key_Q, Qt::ShiftModifier, "Q"), c.typed);
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
      EXPECT_EQ(line->text(), c.typed ? "Q" : "");
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) {
      EXPECT_EQ(plain->toPlainText(), "Q");
    }
  }
}

TEST(GrabbedShiftQ, ArmsWhenNoWindowOfTheProgramIsActive) {
  QLineEdit orphan;  // focused once, but its window is not active
  EXPECT_EQ(QApplication::activeWindow(), nullptr);
  EXPECT_FALSE(typeIntoFocusedTextField(Qt::Key_Q, Qt::ShiftModifier, "Q"));
  EXPECT_EQ(orphan.text(), "");
}

TEST(EffectsOverlay, IsAToolWindowOfTheStageAndLeavesTheStagesUnitsAlone) {
  QWidget stage;
  auto* title = new QWidget(&stage);
  auto* marker = new QWidget(&stage);
  stage.show();
  RandomSource random;
  auto overlay = std::make_unique<EffectsWindow>(&stage, random);
  // A tool window is transient for its parent, which keeps it above a full-screen owner.
  EXPECT_EQ(overlay->windowType(), Qt::Tool);
  EXPECT_EQ(overlay->parentWidget(), &stage);
  EXPECT_TRUE(overlay->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_NE(topLevelWindowId(overlay.get()), 0u);
  // The units beside it stay alien (no native windows of their own).
  EXPECT_FALSE(title->testAttribute(Qt::WA_NativeWindow));
  EXPECT_FALSE(marker->testAttribute(Qt::WA_NativeWindow));
  EXPECT_EQ(title->internalWinId(), 0u);
  EXPECT_EQ(topLevelWindowId(title), 0u) << "only top-level windows are asked for an id";
  EXPECT_FALSE(title->testAttribute(Qt::WA_NativeWindow));
}

QRgb centreOf(forms::PictureBox& box) {
  return box.grab().toImage().pixel(box.width() / 2, box.height() / 2);
}

TEST(HighlightedSlot, GlowsInTheGivenColoursWhenItHasNoPicture) {
  forms::PictureBox box;
  box.resize(106, 65);
  const QRgb plain = centreOf(box);
  EXPECT_EQ(qRed(plain), 0xF0) << "an empty box at rest is the plain face";

  box.setGlow(QColor(0xFF, 0xF8, 0xD0), QColor(0xD8, 0x9A, 0x2A));
  box.setBorder(forms::PictureBox::Border::Raised);
  const QRgb lit = centreOf(box);
  EXPECT_NEAR(qRed(lit), 0xFF, 6);
  EXPECT_NEAR(qGreen(lit), 0xF8, 6);
  EXPECT_NEAR(qBlue(lit), 0xD0, 12);
  const QRgb edge = box.grab().toImage().pixel(5, 5);
  EXPECT_LT(qBlue(edge), qBlue(lit)) << "no glow: the box is flat";

  box.setGlow(QColor(0xEA, 0xF6, 0xFF), QColor(0x6F, 0xA6, 0xE6));  // another style
  EXPECT_GT(qBlue(centreOf(box)), qRed(centreOf(box)));
}

}  // namespace
}  // namespace zv
