#pragma once
#include <QString>
#include <QStringList>

namespace zv {

// Maps the Windows face names the layouts and stored settings use (宋体, 隶书, 黑体, 楷体,
// 仿宋, 微软雅黑) to installed CJK faces, so that no text falls back to empty boxes. On
// Windows the faces are the system's own: a face stands in only for one that is missing
// (see face_stand_ins.h).
void installFaceSubstitutions();

// Gives dialogs, message boxes and menus a plain Chinese face (the application's font);
// once is enough, later calls do nothing. The stage has a face of its own: set after the
// stage is built, this face is not loaded on the way to the first frame (every text box
// lays out a line in the application's font when it is made, and opening a CJK font
// file costs about 5 ms). A message box shown before that sets it itself.
void useDialogFace();

// The Chinese face names a font list offers first, as the layouts and Windows-made
// settings files name them.
QStringList chineseFaceNames();

// The families to draw a face with: the face itself, then the stand-ins of the layouts'
// own face (宋体). A face that is neither installed nor substituted (named in a file made
// on another machine) thus falls back to a face with Chinese glyphs, never to Qt's default.
QStringList familiesFor(const QString& face);

}  // namespace zv
