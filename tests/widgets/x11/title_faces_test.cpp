// The Windows faces the layouts name, drawn on Linux with the installed faces standing in
// for them.
#include <QFontInfo>
#include <gtest/gtest.h>

#include "forms/unit_font.h"

namespace zv {
namespace {

TEST(TitleFaces, EachChineseFaceIsDrawnWithItsOwnStandIn) {
  const struct {
    const char* face;
    const char* drawnWith;
  } rows[] = {
      {"宋体", "Noto Serif CJK SC"}, {"仿宋", "Noto Serif CJK SC"}, {"隶书", "AR PL UKai CN"},
      {"楷体", "AR PL UKai CN"},     {"黑体", "Noto Sans CJK SC"},  {"微软雅黑", "Noto Sans CJK SC"},
      {"DejaVu Sans", "DejaVu Sans"},  // installed: itself
  };
  for (const auto& r : rows) {
    forms::UnitFont font;
    font.face = QString::fromUtf8(r.face);
    font.points = 30;
    EXPECT_EQ(QFontInfo(font.toQFont()).family(), r.drawnWith) << r.face;
  }
}

}  // namespace
}  // namespace zv
