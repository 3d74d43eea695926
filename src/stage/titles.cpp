#include "stage/titles.h"

#include <cmath>

#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "dialogs/input_boxes.h"
#include "dialogs/message_boxes.h"
#include "forms/logic/font_numbers.h"

namespace zv {

namespace h = handlers;
using forms::TransparentLabel;

namespace {

const Titles::Target kMainTitle{units::kMainTitle,        setting::kMainTitle,
                                "请输入主标题",           setting::kMainTitleFace,
                                setting::kMainTitleSize, setting::kMainTitleColour};
const Titles::Target kSubtitle{units::kSubtitle,        setting::kSubtitle,
                               "请输入副标题",          setting::kSubtitleFace,
                               setting::kSubtitleSize, setting::kSubtitleColour};

// The title's font and colour as the layout gives them: where the font dialog starts
// before anything was confirmed in it.
FontChoice layoutFont(const char* label) {
  FontChoice choice;
  for (const forms::UnitDescription& unit : mainWindowLayout().units) {
    if (unit.name != label) continue;
    if (unit.font) {
      choice.face = unit.font->face;
      choice.points = forms::pointsFromPixelHeight(unit.font->pixelHeight);
      choice.bold = unit.font->bold;
    }
    choice.colour = unit.colour.value_or(0);
  }
  return choice;
}

// Sizes are whole points in the settings file and in the title's height.
int wholePoints(const forms::UnitFont& font) { return static_cast<int>(std::lround(font.points)); }

}  // namespace

Titles::Titles(StageContext& stage) : stage_(stage) {
  stage.startUp.add(StartUpStep::kTitlesAcrossScreen, [this] { spanScreenAtStartUp(); });
  stage.startUp.add(StartUpStep::kCaptions, [this] { applyCaptionsAtStartUp(); });
  stage.startUp.add(StartUpStep::kFonts, [this] { applyFontsAtStartUp(); });
}

void Titles::spanScreenAtStartUp() {
  forms::Form& f = stage_.form;
  const QSize screen = stage_.screenSize();
  for (const char* title : {units::kMainTitle, units::kSubtitle}) {
    auto* label = f.unit<QWidget>(title);
    label->resize(f.width(), label->height());
  }
  auto* credit = f.unit<QWidget>(units::kCredit);
  credit->move(screen.width() - 300, screen.height() - 100);
  credit->hide();
}

void Titles::addHandlers(forms::HandlerTable& table) {
  addHandler(table, h::kMenuMainTitle, [this] { editText(kMainTitle); });
  addHandler(table, h::kMenuSubtitle, [this] { editText(kSubtitle); });
  addHandler(table, h::kMenuMainTitleFont, [this] { changeFont(kMainTitle); });
  addHandler(table, h::kMenuSubtitleFont, [this] { changeFont(kSubtitle); });
}

void Titles::editText(const Target& t) {
  // The box offers the stored text, not the caption shown: before the first edit that is
  // the default although the stage still shows the layout's caption.
  const std::string stored = stage_.settings.get(t.text);
  const std::optional<std::string> text = InputBoxes::ask(t.prompt, t.prompt, stored);
  if (!text) return;
  stage_.form.unit<TransparentLabel>(t.label)->setCaption(qs(*text));
  if (!stage_.settings.set(t.text, *text)) {
    MessageBoxes::reportWriteFailure(stage_.settings.path());
  }
}

void Titles::changeFont(const Target& t) {
  auto* title = stage_.form.unit<TransparentLabel>(t.label);
  const std::optional<FontChoice> chosen =
      FontPicker::ask(lastConfirmed_.value_or(layoutFont(t.label)));
  if (chosen) {
    lastConfirmed_ = chosen;
    forms::UnitFont font;
    font.face = qs(chosen->face);
    font.points = chosen->points;
    font.bold = chosen->bold;
    font.italic = chosen->italic;
    font.underline = chosen->underline;
    font.strikeOut = chosen->strikeOut;
    title->setUnitFont(font);
    title->setTextColour(chosen->colour);
  }
  // Confirmed or not, the title's font as it now is gets stored and sizes the title, so
  // that from now on the stored font applies at start-up.
  const forms::UnitFont& font = title->unitFont();
  const SettingsFile& s = stage_.settings;
  bool written = s.set(t.face, font.face.toStdString());
  written = s.set(t.size, wholePoints(font)) && written;
  written = s.setText(t.colour.place, forms::colourText(title->textColour())) && written;
  title->resize(title->width(), forms::titleHeightForPoints(wholePoints(font)));
  if (!written) MessageBoxes::reportWriteFailure(s.path());
}

void Titles::applyCaptionsAtStartUp() {
  for (const Target* t : {&kMainTitle, &kSubtitle}) {
    if (const std::optional<std::string> text = stage_.settings.stored(t->text)) {
      stage_.form.unit<TransparentLabel>(t->label)->setCaption(qs(*text));
    }
  }
}

void Titles::applyFontsAtStartUp() {
  stage_.form.unit<forms::CommonDialog>(units::kFontDialog)
      ->setMode(forms::CommonDialog::Mode::Font);
  applyStoredFont(kMainTitle);
  applyStoredFont(kSubtitle);
}

void Titles::applyStoredFont(const Target& t) {
  const SettingsFile& s = stage_.settings;
  const std::optional<std::int32_t> colour = s.stored(t.colour);
  if (!colour) return;
  // Face, size and colour only: the styles and the height stay as the layout has them.
  auto* title = stage_.form.unit<TransparentLabel>(t.label);
  forms::UnitFont font = title->unitFont();
  font.face = qs(s.get(t.face));
  // A size that is empty, not a number or not positive keeps the layout's size, as such a
  // font is drawn elsewhere (a font of size 0 is the default font); the stored text stays.
  if (const int points = s.get(t.size); points > 0) {
    font.points = points;
  }
  title->setUnitFont(font);
  title->setTextColour(static_cast<std::uint32_t>(*colour));
}

}  // namespace zv
