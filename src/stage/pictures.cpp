#include "stage/pictures.h"

#include "app/handler_names.h"
#include "app/window_layouts.h"
#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"

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

void Pictures::applyPrizePicturesAtStartUp() {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    auto* box = stage_.form.unit<forms::PictureBox>(units::prizeBox(slot));
    box->setPlaceholder(qs(kEmptySlotHint));
    box->setPicture(PictureData(readWholeFile(stage_.files.prizePicture(slot))));
  }
}

void Pictures::applyBackgroundAtStartUp() {
  stage_.form.setBackgroundPicture(readWholeFile(stage_.files.backgroundPicture()));
}

bool Pictures::copyChosen(const std::string& chosen, const std::string& target) const {
  if (copyFileOverwriting(chosen, target)) return true;
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
      ->setPicture(PictureData(readWholeFile(target)));
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
