#pragma once
// The faces that stand in for the Windows faces the layouts and stored settings name, one
// table per system (x11/: the installed CJK faces; windows/: the face's other name and
// the faces Windows ships). Read by fonts.cpp only.
#include <QStringList>
#include <span>

namespace zv {

struct FaceStandIn {
  const char* face;
  const QStringList& (*standIns)();
};

// Each face with its stand-ins, the best first.
std::span<const FaceStandIn> faceStandIns();

// The stand-ins of the layouts' own face (宋体): the last resort of any face.
const QStringList& layoutFaceStandIns();

}  // namespace zv
