#include "stage/pictures.h"

#include "layout/handler_names.h"
#include "layout/logic/wheel_geometry.h"
#include "layout/window_layouts.h"
#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "platform/qt/picture_as_jpeg.h"

namespace zv {

namespace h = handlers;

namespace {

constexpr const char* kDialogTitle = "打开";

// The slot whose picture box is unit, or 0 for another unit.
int slotOf(const std::string& unit) {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (units::prizeBox(slot) == unit) return slot;
  }
  return 0;
}

}  // namespace

const std::vector<std::string>& Pictures::dialogFilters() {
  // The patterns in the last parentheses stay hidden, so the first name reads as it
  // always has while also listing .JPG and .jpeg.
  static const std::vector<std::string> filters = {
      "图形文件(*.jpg) (*.jpg *.JPG *.jpeg *.JPEG)",
      "所有图片(*.jpg *.png *.bmp *.webp) "
      "(*.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.bmp *.BMP *.webp *.WEBP)",
  };
  return filters;
}

void Pictures::addHandlers(forms::HandlerTable& table) {
  table[h::kChangePrizePicture] = [this](const forms::UnitEvent& event) {
    if (const int slot = slotOf(event.unit); slot != 0) changePrizePicture(slot);
  };
  addHandler(table, h::kMenuChangeBackground, [this] { changeBackground(); });
  addHandler(table, h::kMenuRemoveBackground, [this] { removeBackground(); });
}

namespace {

// Camera-sized files take longer to read and decode than the whole stage takes to build,
// so they start first, decoded for the slots' size in the layout.
std::shared_ptr<PictureFilesLoading> startLoading(const ProgramFiles& files) {
  std::vector<std::string> paths;
  for (int slot = 1; slot <= kSlotCount; ++slot) paths.push_back(files.prizePicture(slot));
  return std::make_shared<PictureFilesLoading>(
      std::move(paths), QSize(layout_wheel::kPrizeWidth, layout_wheel::kPrizeHeight));
}

}  // namespace

PicturesLoadedAhead Pictures::startLoadingEarly(const std::string& programDirectory) {
  return {programDirectory, startLoading(ProgramFiles{programDirectory})};
}

Pictures::Pictures(StageContext& stage) : stage_(stage) {
  PicturesLoadedAhead& early = stage.picturesAhead;
  if (early.loading && early.directory == stage_.files.directory) {
    loading_ = std::move(early.loading);
  } else {
    loading_ = startLoading(stage_.files);
  }
  early = {};
  stage.services.prepareShownSizes = [this] { prepareShownSizes(); };
  stage.startUp.add(StartUpStep::kPrizePictureDirectory,
                    [this] { makeDirectories(stage_.files.prizePictureDirectory()); });
  stage.startUp.add(StartUpStep::kPrizePictures, [this] { applyPrizePicturesAtStartUp(); });
  stage.startUp.add(StartUpStep::kBackground, [this] { applyBackgroundAtStartUp(); });
  stage.startUp.add(StartUpStep::kPicturesForFirstFrame,
                    [this] { preparePicturesForFirstFrame(); });
}

Pictures::~Pictures() = default;

void Pictures::applyPrizePicturesAtStartUp() {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    auto* box = stage_.form.unit<forms::PictureBox>(units::prizeBox(slot));
    box->setPlaceholder(qs(kEmptySlotHint));
    box->setPicture(loading_ ? loading_->bytes(static_cast<std::size_t>(slot) - 1)
                             : PictureData::fromFile(stage_.files.prizePicture(slot)));
  }
}

std::vector<PictureSizes> Pictures::shownSizes() const {
  using forms::PictureBox;
  const QSize result = stage_.form.unit<PictureBox>(units::kResultPicture)->decodeTarget();
  std::vector<PictureSizes> pictures;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto* box = stage_.form.unit<PictureBox>(units::prizeBox(slot));
    // In the slot, in the result picture while the highlight is on it, and in the slot
    // raised when the roll lands there.
    pictures.push_back({box->picture(),
                        {box->decodeTarget(PictureBox::Border::None), result,
                         box->decodeTarget(PictureBox::Border::Raised)}});
  }
  return pictures;
}

void Pictures::preparePicturesForFirstFrame() {
  std::vector<PictureSizes> pictures = shownSizes();
  // The wheel's backdrop is in the first frame too, and decodes beside the photographs.
  const auto* wheel = stage_.form.unit<forms::PictureBox>(units::kWheelBackground);
  pictures.push_back({wheel->picture(), {wheel->decodeTarget()}});
  const std::vector<PictureAtSize> later =
      loading_ ? loading_->finish(pictures) : decodeIntoCacheNow(pictures);
  loading_.reset();
  for (const PictureAtSize& rest : later) queue_.add(rest.picture, rest.target);
}

void Pictures::prepareShownSizes() {
  for (const PictureSizes& p : shownSizes()) {
    for (const QSize target : p.targets) queue_.add(p.picture, target);
  }
}

void Pictures::applyBackgroundAtStartUp() {
  stage_.form.setBackgroundPicture(readWholeFile(stage_.files.backgroundPicture()));
}

bool Pictures::copyChosen(const std::string& chosen, const std::string& target) const {
  // The target's name says JPEG: other formats are stored re-encoded, so the event folder
  // reads the same in any program that opens it.
  if (const std::optional<std::string> bytes = tryReadWholeFile(chosen)) {
    const std::optional<std::string> stored = pictureAsJpegFile(*bytes);
    if (stored && writeWholeFileAtomically(target, *stored)) return true;
  }
  MessageBoxes::show("无法把文件 " + chosen + " 复制为 " + target + "，原来的图片没有改变！",
                     MessageBoxes::kDefaultTitle, MessageButtons::Ok, MessageIcon::Warning);
  return false;
}

void Pictures::changePrizePicture(int slot) {
  stage_.draw.clearHeldPicture();
  const std::optional<std::string> chosen = FilePicker::openFile(kDialogTitle, dialogFilters());
  if (!chosen) return;
  const std::string target = stage_.files.prizePicture(slot);
  // The directory is made at start-up; it may have been removed since.
  makeDirectories(stage_.files.prizePictureDirectory());
  if (!copyChosen(*chosen, target)) return;
  stage_.form.unit<forms::PictureBox>(units::prizeBox(slot))
      ->setPicture(PictureData::fromFile(target));
  prepareShownSizes();
}

void Pictures::changeBackground() {
  if (const auto chosen = FilePicker::openFile(kDialogTitle, dialogFilters())) {
    const std::string target = stage_.files.backgroundPicture();
    if (copyChosen(*chosen, target)) stage_.form.setBackgroundPicture(readWholeFile(target));
  }
  stage_.form.unit<QWidget>(units::kResultPicture)->hide();
}

void Pictures::removeBackground() {
  // Nothing to report when there was no background; a file that stays would come back
  // at the next start, so that is reported.
  const std::string file = stage_.files.backgroundPicture();
  if (!deleteFile(file) && pathExists(file)) {
    MessageBoxes::show("无法删除文件 " + file + "，背景图没有取消！", MessageBoxes::kDefaultTitle,
                       MessageButtons::Ok, MessageIcon::Warning);
  }
  stage_.form.setBackgroundPicture(readWholeFile(file));
  stage_.form.unit<QWidget>(units::kResultPicture)->hide();
}

}  // namespace zv
