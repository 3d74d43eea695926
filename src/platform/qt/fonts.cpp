#include "platform/qt/fonts.h"

#include <QFont>
#include <QGuiApplication>
#include <QStringList>

namespace zv {

void installFaceSubstitutions() {
  const QStringList serif = {"Noto Serif CJK SC", "AR PL UMing CN", "Noto Sans CJK SC"};
  const QStringList sans = {"Noto Sans CJK SC", "Droid Sans Fallback", "AR PL UMing CN"};
  const QStringList brush = {"AR PL UKai CN", "Noto Serif CJK SC", "Noto Sans CJK SC"};
  const struct {
    const char* face;
    const QStringList& installed;
  } table[] = {
      {"宋体", serif},    {"新宋体", serif}, {"SimSun", serif},         {"仿宋", serif},
      {"隶书", brush},    {"楷体", brush},   {"华文行楷", brush},       {"黑体", sans},
      {"微软雅黑", sans}, {"SimHei", sans},  {"Microsoft YaHei", sans},
  };
  // Dialogs and message boxes take a plain Chinese face.
  QFont dialogs(QString::fromUtf8("微软雅黑"));
  dialogs.setPixelSize(14);
  QGuiApplication::setFont(dialogs);
  for (const auto& row : table)
    QFont::insertSubstitutions(QString::fromUtf8(row.face), row.installed);
}

}  // namespace zv
