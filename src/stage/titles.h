#pragma once
// The main title and the subtitle: their texts and their fonts.
#include "stage/stage_context.h"

namespace zv {

class Titles {
 public:
  explicit Titles(StageContext& stage) : stage_(stage) {}

  void addHandlers(forms::HandlerTable& table);
  // The stored title texts; a title without one keeps the layout's text.
  void applyCaptionsAtStartUp();
  // The font dialog's mode, then the stored fonts, each only when its colour is stored.
  void applyFontsAtStartUp();

 private:
  void applyStoredFont(const char* label, std::string_view faceKey, std::string_view sizeKey,
                       std::string_view colourKey);

  StageContext& stage_;
};

}  // namespace zv
