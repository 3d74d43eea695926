// The fontconfig faces of the Debian packages the program depends on.
#include "platform/qt/face_stand_ins.h"

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

constexpr FaceStandIn kTable[] = {
    {"宋体", serif}, {"新宋体", serif}, {"SimSun", serif}, {"仿宋", serif},
    {"隶书", brush}, {"楷体", brush},   {"华文行楷", brush}, {"黑体", sans},
    {"微软雅黑", sans}, {"SimHei", sans}, {"Microsoft YaHei", sans},
};

}  // namespace

std::span<const FaceStandIn> faceStandIns() { return kTable; }

const QStringList& layoutFaceStandIns() { return serif(); }

}  // namespace zv
