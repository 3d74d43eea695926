#pragma once
// The prize pictures of the eight slots and the stage's background picture: the operator
// chooses a file, the program keeps its own copy under a fixed name and shows that copy,
// now and after every restart.
#include <optional>
#include <string>
#include <vector>

#include "stage/stage_context.h"

namespace zv {

class Pictures {
 public:
  explicit Pictures(StageContext& stage) : stage_(stage) {}

  // The file dialog's filters: the first lists JPEG files whatever their camera named
  // them, the second the other formats a picture box reads by content.
  static const std::vector<std::string>& dialogFilters();
  // Shown in a slot that has no picture, so the operator knows what to do; drawn only.
  static constexpr const char* kEmptySlotHint = "双击选择奖品图片";

  void addHandlers(forms::HandlerTable& table);
  // The prize pictures from their files; a missing file leaves the box empty, the
  // built-in pictures of the layout included.
  void applyPrizePicturesAtStartUp();
  // The background picture from its file; none shows the stage colour.
  void applyBackgroundAtStartUp();

  void changePrizePicture(int slot);
  void changeBackground();
  void removeBackground();

 private:
  // Copies the chosen file over target; a failure is reported naming both files and
  // leaves target as it was. Returns whether target now holds the chosen file.
  bool copyChosen(const std::string& chosen, const std::string& target) const;

  StageContext& stage_;
};

}  // namespace zv
