#pragma once

namespace zv {

// Maps the Windows face names the layouts and stored settings use (宋体, 隶书, 黑体, 楷体,
// 仿宋, 微软雅黑) to installed CJK faces, so that no text falls back to empty boxes, and
// gives dialogs a plain Chinese face.
void installFaceSubstitutions();

}  // namespace zv
