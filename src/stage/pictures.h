#pragma once
// The prize pictures of the eight slots and the stage's background picture.
#include "stage/stage_context.h"

namespace zv {

class Pictures {
 public:
  explicit Pictures(StageContext& stage) : stage_(stage) {}

  void addHandlers(forms::HandlerTable& table);
  // The prize pictures from their files; a missing file leaves the box empty, the
  // built-in pictures of the layout included.
  void applyPrizePicturesAtStartUp();
  // The background picture from its file; none shows the stage colour.
  void applyBackgroundAtStartUp();

 private:
  StageContext& stage_;
};

}  // namespace zv
