#include "platform/qt/fonts.h"

#include <QFont>
#include <QGuiApplication>

namespace zv {

namespace {

const QStringList& serif() {
  static const QStringList faces = {"Noto Serif CJK SC", "AR PL UMing CN", "Noto Sans CJK SC"};
  return faces;
}
const QStringList& sans() {
  static const QStringList faces = {"Noto Sans CJK SC", "Droid Sans Fallback", "AR PL UMing CN"};
  return faces;
}
const QStringList& brush() {
  static const QStringList faces = {"AR PL UKai CN", "Noto Serif CJK SC", "Noto Sans CJK SC"};
  return faces;
}

struct Substitution {
  const char* face;
  const QStringList& (*installed)();
};

constexpr Substitution kTable[] = {
    {"宋体", serif}, {"新宋体", serif}, {"SimSun", serif}, {"仿宋", serif},
    {"隶书", brush}, {"楷体", brush},   {"华文行楷", brush}, {"黑体", sans},
    {"微软雅黑", sans}, {"SimHei", sans}, {"Microsoft YaHei", sans},
};

}  // namespace

void installFaceSubstitutions() {
  for (const auto& row : kTable)
    QFont::insertSubstitutions(QString::fromUtf8(row.face), row.installed());
}

void useDialogFace() {
  static bool set = false;
  if (set) return;
  set = true;
  QFont dialogs(QString::fromUtf8("微软雅黑"));
  dialogs.setPixelSize(14);
  QGuiApplication::setFont(dialogs);
}

QStringList chineseFaceNames() {
  return {"宋体", "黑体", "楷体", "隶书", "仿宋", "微软雅黑"};
}

QStringList familiesFor(const QString& face) {
  // Qt applies the substitutions to a lone family only, not within a list: the face's own
  // stand-ins come first by hand.
  QStringList families{face};
  for (const QString& standIn : QFont::substitutes(face) + serif())
    if (!families.contains(standIn)) families << standIn;
  return families;
}

}  // namespace zv
