// What the stage does when its window is created: every stored setting applied, in a
// fixed order, each only when its key holds a value.
#include "app/handler_names.h"
#include "app/logic/wheel_geometry.h"
#include "app/main_window.h"
#include "app/window_layouts.h"
#include "platform/files.h"
#include "platform/number_text.h"
#include "resources/artwork.h"
#include "store/settings_keys.h"

namespace zv {

using forms::Form;
using forms::PictureBox;
using forms::TransparentLabel;

namespace {

// Sizes a widget can take without Qt clamping them or the layout overflowing.
constexpr int kMaxExtent = 16'000;

int extent(std::string_view text) { return std::clamp(integerValue(text), 0, kMaxExtent); }

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

void MainWindow::startUp() {
  Form& f = *form_;
  const SettingsFile& s = settings_;
  auto stored = [&s](std::string_view key) { return s.general(key); };

  // 1. The designated-pick hot key; a combination taken by another program is ignored.
  hotKey_.registerShiftQ(
      [this] { form_->dispatch(units::kHotKeyLabel, forms::EventKind::HotKey); });

  // 2, 3. The prize picture directory (an existing one is fine), the factor at rest.
  makeDirectories(files_.prizePictureDirectory());
  state_.enlargement = 1.0f;

  // 4-7. The window over the screen, the wheel centred, full-width titles, the credit
  // line moved to the lower right and hidden.
  const QSize screen = screenSize();
  f.setGeometry(0, 0, screen.width(), screen.height());
  auto* wheel = f.unit<QWidget>(units::kWheel);
  wheel->move(centredLeft(screen.width(), wheel->width()), wheel->y());
  for (const char* title : {units::kMainTitle, units::kSubtitle}) {
    auto* label = f.unit<QWidget>(title);
    label->resize(f.width(), label->height());
  }
  auto* credit = f.unit<QWidget>(units::kCredit);
  credit->move(screen.width() - 300, screen.height() - 100);
  credit->hide();

  // 8. Stored positions, each coordinate on its own.
  const struct {
    std::string_view key;
    const char* unit;
    bool left;
  } positions[] = {
      {keys::kWheelLeft, units::kWheel, true},
      {keys::kWheelTop, units::kWheel, false},
      {keys::kMainTitleLeft, units::kMainTitle, true},
      {keys::kMainTitleTop, units::kMainTitle, false},
      {keys::kSubtitleLeft, units::kSubtitle, true},
      {keys::kSubtitleTop, units::kSubtitle, false},
      {keys::kResultLeft, units::kResultPicture, true},
      {keys::kResultTop, units::kResultPicture, false},
  };
  for (const auto& p : positions) {
    const std::string value = stored(p.key);
    if (value.empty()) continue;
    auto* unit = f.unit<QWidget>(p.unit);
    const int v = integerValue(value);
    unit->move(p.left ? v : unit->x(), p.left ? unit->y() : v);
  }

  // 9. Effects switch.
  f.unit<QCheckBox>(units::kEffectsOffBox)->setChecked(stored(keys::kEffectsOff) == keys::kTrue);

  // 10. Result picture size, mirrored in the panel's edit boxes.
  auto* result = f.unit<PictureBox>(units::kResultPicture);
  if (const std::string width = stored(keys::kResultWidth); !width.empty()) {
    result->resize(extent(width), result->height());
  }
  f.unit<QLineEdit>(units::kResultWidthEdit)->setText(QString::number(result->width()));
  if (const std::string height = stored(keys::kResultHeight); !height.empty()) {
    result->resize(result->width(), extent(height));
  }
  f.unit<QLineEdit>(units::kResultHeightEdit)->setText(QString::number(result->height()));

  // 11. Display mode; both modes write the key back.
  if (stored(keys::kDisplayMode) == keys::kWindowed) {
    windowedMode();
  } else {
    fullScreenMode();
  }

  // 12. Music switch: only the tick marks; nothing plays at start-up.
  const bool musicOff = stored(keys::kMusic) == keys::kFalse;
  f.menuItem(qs(menu::kMusicOff))->setTicked(musicOff);
  f.menuItem(qs(menu::kMusicOn))->setTicked(!musicOff);

  // 13, 14. Auto-stop seconds and roll interval.
  const std::string autoStop = stored(keys::kAutoStop);
  f.unit<QLineEdit>(units::kAutoStopEdit)
      ->setText(autoStop.empty() || autoStop == "0" ? QString("0") : qs(autoStop));
  if (const std::string interval = stored(keys::kRollInterval); !interval.empty()) {
    f.unit<QLineEdit>(units::kRollIntervalEdit)->setText(qs(interval));
  }

  // 15. Wheel style: a stored style brings back its picture and tick mark; anything
  // else shows style 1 and leaves the tick marks as laid out. Nothing is written.
  const std::string style = stored(keys::kWheelStyle);
  int matched = 0;
  for (std::size_t i = 0; i < keys::kWheelStyles.size(); ++i) {
    if (style == keys::kWheelStyles[i]) matched = static_cast<int>(i) + 1;
  }
  showStyle(matched == 0 ? 1 : matched, matched != 0);

  // 16, 17. The slot list and the prize pictures from their files; a missing file leaves
  // the box empty, the built-in pictures of the layout included.
  state_.slotList.clear();
  for (int slot = 1; slot <= 8; ++slot) {
    auto* box = f.unit<PictureBox>(units::prizeBox(slot));
    state_.slotList.push_back(box);
    box->setPicture(PictureData(readWholeFile(files_.prizePicture(slot))));
  }

  // 18. Titles.
  if (const std::string title = stored(keys::kMainTitle); !title.empty()) {
    f.unit<TransparentLabel>(units::kMainTitle)->setCaption(qs(title));
  }
  if (const std::string title = stored(keys::kSubtitle); !title.empty()) {
    f.unit<TransparentLabel>(units::kSubtitle)->setCaption(qs(title));
  }

  // 19. Prize values: the stored set when the first is present, else the defaults.
  if (!stored(keys::kPrizeValues[0]).empty()) {
    for (std::size_t i = 0; i < keys::kPrizeValues.size(); ++i) {
      state_.prizeValues[i] = integerValue(stored(keys::kPrizeValues[i]));
    }
  } else {
    state_.prizeValues = keys::kDefaultPrizeValues;
  }

  // 20. Wheel size.
  if (const std::string size = stored(keys::kWheelSize); !size.empty()) {
    f.unit<QLineEdit>(units::kWheelSizeEdit)->setText(qs(size));
    applyWheelSize(size);
  }

  // 21. The font dialog.
  f.unit<forms::CommonDialog>(units::kFontDialog)->setMode(forms::CommonDialog::Mode::Font);

  // 22. Title fonts, applied only when the colour is stored.
  applyStoredTitleFont(units::kMainTitle, keys::kMainTitleFace, keys::kMainTitleSize,
                       keys::kMainTitleColour);
  applyStoredTitleFont(units::kSubtitle, keys::kSubtitleFace, keys::kSubtitleSize,
                       keys::kSubtitleColour);

  // 23. Background picture.
  f.setBackgroundPicture(readWholeFile(files_.backgroundPicture()));

  // 24. The wheel's round outline.
  clipWheel();
}

void MainWindow::applyStoredTitleFont(const char* label, std::string_view faceKey,
                                      std::string_view sizeKey, std::string_view colourKey) {
  const std::string colour = settings_.read(keys::kFonts, colourKey);
  if (colour.empty()) return;
  auto* title = form_->unit<TransparentLabel>(label);
  forms::UnitFont font = title->unitFont();
  font.face = qs(settings_.read(keys::kFonts, faceKey));
  font.points = integerValue(settings_.read(keys::kFonts, sizeKey));
  title->setUnitFont(font);
  title->setTextColour(static_cast<std::uint32_t>(integerValue(colour)));
}

}  // namespace zv
