// What the dialogs draw: the password entry's mask character, the explanation group box
// of the prize settings with its frame clear of the text, and lines that do not touch.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>

#include "dialogs/dialog_layouts.h"
#include "layout/window_layouts.h"
#include "forms/form.h"

namespace zv {
namespace {

// The window built with a handler that does nothing for each event the layout binds.
std::unique_ptr<forms::Form> build(const forms::WindowDescription& layout) {
  forms::HandlerTable table;
  auto bind = [&](const std::vector<forms::EventBinding>& events) {
    for (const auto& e : events) table[e.handler] = [](const forms::UnitEvent&) {};
  };
  bind(layout.events);
  for (const auto& unit : layout.units) bind(unit.events);
  auto form = forms::buildForm(layout, table);
  form->show();
  return form;
}

bool dark(QRgb pixel) { return qGray(pixel) < 160; }

// Rows of the image with any dark pixel, as runs [first, last] separated by clear rows.
std::vector<std::pair<int, int>> inkBands(const QImage& image) {
  std::vector<std::pair<int, int>> bands;
  for (int y = 0; y < image.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < image.width() && !ink; ++x) ink = dark(image.pixel(x, y));
    if (!ink) continue;
    if (!bands.empty() && bands.back().second == y - 1) {
      bands.back().second = y;
    } else {
      bands.push_back({y, y});
    }
  }
  return bands;
}

TEST(DialogLook, ThePasswordEntryShowsAStarForEachCharacter) {
  auto form = build(passwordLayout());
  auto* entry = form->unit<QLineEdit>("编辑框1");
  entry->setText("密a1");
  EXPECT_EQ(entry->echoMode(), QLineEdit::Password);
  EXPECT_EQ(entry->displayText(), "***");
  EXPECT_EQ(entry->text(), "密a1");
  // Drawn as the same box would draw three typed stars.
  const QImage masked = entry->grab().toImage();
  entry->setEchoMode(QLineEdit::Normal);
  entry->setText("***");
  EXPECT_EQ(entry->grab().toImage(), masked);
}

TEST(DialogLook, TheExplanationFrameRunsAboveAndBelowItsText) {
  auto form = build(prizeSettingsLayout());
  auto* group = form->unit<QWidget>("分组框1");
  auto* text = form->unit<QWidget>("标签3");
  const QImage image = group->grab().toImage();
  // A frame row: grey across most of the box's width.
  std::vector<int> frameRows;
  for (int y = 0; y < image.height(); ++y) {
    int grey = 0;
    for (int x = 0; x < image.width(); ++x) {
      const int g = qGray(image.pixel(x, y));
      grey += g > 120 && g < 200;
    }
    if (grey > image.width() * 3 / 4) frameRows.push_back(y);
  }
  ASSERT_FALSE(frameRows.empty());
  for (int y : frameRows) {
    EXPECT_TRUE(y < text->y() || y >= text->y() + text->height()) << "frame row " << y;
  }
  EXPECT_LT(frameRows.front(), text->y());
  // The caption's glyphs end in the band above the text, a clear row before it.
  const auto caption = inkBands(image.copy(0, 0, image.width() / 2, text->y()));
  ASSERT_FALSE(caption.empty());
  EXPECT_LT(caption.back().second, text->y() - 1);
}

TEST(DialogLook, TheExplanationLinesDoNotTouchAndAllFit) {
  auto form = build(prizeSettingsLayout());
  auto* text = form->unit<QWidget>("标签3");
  const QImage image = text->grab().toImage();
  const auto lines = inkBands(image);
  // Four paragraphs, two of them wrapped: touching lines would merge into fewer bands.
  EXPECT_GE(lines.size(), 6u);
  for (const auto& [first, last] : lines) EXPECT_LT(last - first, 17) << first;
  // Nothing cut off at the foot of the box.
  ASSERT_FALSE(lines.empty());
  EXPECT_LT(lines.back().second, image.height() - 1);
}

}  // namespace
}  // namespace zv
