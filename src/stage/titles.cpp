#include "stage/titles.h"

#include "app/handler_names.h"
#include "app/window_layouts.h"
#include "platform/number_text.h"
#include "store/settings_keys.h"

namespace zv {

namespace h = handlers;
using forms::TransparentLabel;

void Titles::addHandlers(forms::HandlerTable& table) {
  // not built yet
  bindNotBuiltYet(
      table, {h::kMenuMainTitle, h::kMenuSubtitle, h::kMenuMainTitleFont, h::kMenuSubtitleFont});
}

void Titles::applyCaptionsAtStartUp() {
  if (const std::string title = stage_.settings.general(keys::kMainTitle); !title.empty()) {
    stage_.form.unit<TransparentLabel>(units::kMainTitle)->setCaption(qs(title));
  }
  if (const std::string title = stage_.settings.general(keys::kSubtitle); !title.empty()) {
    stage_.form.unit<TransparentLabel>(units::kSubtitle)->setCaption(qs(title));
  }
}

void Titles::applyFontsAtStartUp() {
  stage_.form.unit<forms::CommonDialog>(units::kFontDialog)
      ->setMode(forms::CommonDialog::Mode::Font);
  applyStoredFont(units::kMainTitle, keys::kMainTitleFace, keys::kMainTitleSize,
                  keys::kMainTitleColour);
  applyStoredFont(units::kSubtitle, keys::kSubtitleFace, keys::kSubtitleSize,
                  keys::kSubtitleColour);
}

void Titles::applyStoredFont(const char* label, std::string_view faceKey, std::string_view sizeKey,
                             std::string_view colourKey) {
  const SettingsFile& s = stage_.settings;
  const std::string colour = s.read(keys::kFonts, colourKey);
  if (colour.empty()) return;
  auto* title = stage_.form.unit<TransparentLabel>(label);
  forms::UnitFont font = title->unitFont();
  font.face = qs(s.read(keys::kFonts, faceKey));
  font.points = integerValue(s.read(keys::kFonts, sizeKey));
  title->setUnitFont(font);
  title->setTextColour(static_cast<std::uint32_t>(integerValue(colour)));
}

}  // namespace zv
