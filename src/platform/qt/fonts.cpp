#include "platform/qt/fonts.h"

#include <QFont>
#include <QGuiApplication>

#include "platform/qt/face_stand_ins.h"

namespace zv {

void installFaceSubstitutions() {
  for (const FaceStandIn& row : faceStandIns())
    QFont::insertSubstitutions(QString::fromUtf8(row.face), row.standIns());
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
  for (const QString& standIn : QFont::substitutes(face) + layoutFaceStandIns())
    if (!families.contains(standIn)) families << standIn;
  return families;
}

}  // namespace zv
