#pragma once
// The wheel on the stage: its size steps, its layout geometry, its outline and style.
#include <string_view>

#include "stage/stage_context.h"

namespace zv {

class Wheel {
 public:
  explicit Wheel(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);
  // The stored style: its picture and tick mark; anything else shows style 1 and
  // leaves the tick marks as laid out. Nothing is written.
  void applyStyleAtStartUp();
  // In the middle of the stage's monitor, at the layout's height.
  void centreAtStartUp();
  // The stored wheel size, mirrored in the panel's edit box.
  void applySizeAtStartUp();

  // One 1.1x step of the wheel and everything on it.
  void enlargementStep();
  // Back to the layout's geometry.
  void reset();
  // As many steps as a wheel-size value asks for.
  void applySize(std::string_view wheelSizeText);
  void applySize(double wheelSize);
  // The round outline.
  void clip();
  // Style 1..4 chosen from the menu: picture, tick marks and the stored key.
  void chooseStyle(int style);
  // Picture, and tick marks when asked.
  void showStyle(int style, bool tickMarks);

 private:
  StageContext& stage_;
};

}  // namespace zv
