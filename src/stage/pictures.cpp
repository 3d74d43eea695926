#include "stage/pictures.h"

#include "app/handler_names.h"
#include "app/window_layouts.h"
#include "platform/files.h"

namespace zv {

namespace h = handlers;

void Pictures::addHandlers(forms::HandlerTable& table) {
  // not built yet
  bindNotBuiltYet(table,
                  {h::kChangePrizePicture, h::kMenuChangeBackground, h::kMenuRemoveBackground});
}

void Pictures::applyPrizePicturesAtStartUp() {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    stage_.form.unit<forms::PictureBox>(units::prizeBox(slot))
        ->setPicture(PictureData(readWholeFile(stage_.files.prizePicture(slot))));
  }
}

void Pictures::applyBackgroundAtStartUp() {
  stage_.form.setBackgroundPicture(readWholeFile(stage_.files.backgroundPicture()));
}

}  // namespace zv
