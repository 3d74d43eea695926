#pragma once
// The main title and the subtitle: their texts and their fonts.
#include <optional>
#include <string_view>

#include "dialogs/font_picker.h"
#include "stage/stage_context.h"

namespace zv {

class Titles {
 public:
  explicit Titles(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);
  // The stored title texts; a title without one keeps the layout's text.
  void applyCaptionsAtStartUp();
  // The titles as wide as the window; the credit line moved to the lower right, hidden.
  void spanScreenAtStartUp();
  // The font dialog's mode, then the stored fonts, each only when its colour is stored.
  void applyFontsAtStartUp();

  // What one title's menu items work on.
  struct Target {
    const char* label;
    const TextSetting& text;  // its default is offered while nothing is stored
    const char* prompt;       // also the input box's title
    const TextSetting& face;
    const IntegerSetting& size;
    const IntegerSetting& colour;
  };

 private:
  void editText(const Target& t);
  void changeFont(const Target& t);
  void applyStoredFont(const Target& t);

  StageContext& stage_;
  // The font dialog serves both titles and starts from the choice last confirmed in it.
  std::optional<FontChoice> lastConfirmed_;
};

}  // namespace zv
