// The Chinese faces the layouts name are Windows' own: a Chinese Windows lists them by
// their Chinese names and draws them as they are. Another Windows lists them by their
// English names only, so each Chinese name leads to its English one first; only a face
// missing altogether (隶书 comes with Office, not with Windows) is drawn with another.
// Qt tries a face itself before its stand-ins, so where the face is there nothing stands
// in for it.
#include "platform/qt/face_stand_ins.h"

namespace zv {

namespace {

const QStringList& song() {
  static const QStringList faces = {"SimSun", "NSimSun", "Microsoft YaHei"};
  return faces;
}
const QStringList& newSong() {
  static const QStringList faces = {"NSimSun", "SimSun", "Microsoft YaHei"};
  return faces;
}
const QStringList& fangSong() {
  static const QStringList faces = {"FangSong", "FangSong_GB2312", "SimSun", "Microsoft YaHei"};
  return faces;
}
const QStringList& kai() {
  static const QStringList faces = {"KaiTi", "KaiTi_GB2312", "SimSun", "Microsoft YaHei"};
  return faces;
}
const QStringList& li() {
  static const QStringList faces = {"LiSu", "STLiti", "KaiTi", "SimSun", "Microsoft YaHei"};
  return faces;
}
const QStringList& xingKai() {
  static const QStringList faces = {"STXingkai", "KaiTi", "SimSun", "Microsoft YaHei"};
  return faces;
}
const QStringList& hei() {
  static const QStringList faces = {"SimHei", "Microsoft YaHei", "SimSun"};
  return faces;
}
const QStringList& yaHei() {
  static const QStringList faces = {"Microsoft YaHei", "SimHei", "SimSun"};
  return faces;
}
// The English names stand in for each other only when missing themselves.
const QStringList& serifFallback() {
  static const QStringList faces = {"NSimSun", "Microsoft YaHei"};
  return faces;
}
const QStringList& sansFallback() {
  static const QStringList faces = {"Microsoft YaHei", "SimSun"};
  return faces;
}

constexpr FaceStandIn kTable[] = {
    {"宋体", song},     {"新宋体", newSong}, {"仿宋", fangSong},       {"楷体", kai},
    {"隶书", li},       {"华文行楷", xingKai}, {"黑体", hei},          {"微软雅黑", yaHei},
    {"SimSun", serifFallback}, {"SimHei", sansFallback}, {"Microsoft YaHei", sansFallback},
};

}  // namespace

std::span<const FaceStandIn> faceStandIns() { return kTable; }

const QStringList& layoutFaceStandIns() { return song(); }

}  // namespace zv
