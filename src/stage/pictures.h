#pragma once
// The prize pictures of the eight slots and the stage's background picture: the operator
// chooses a file, the program keeps its own copy under a fixed name and shows that copy,
// now and after every restart.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/picture_batch.h"
#include "stage/stage_context.h"

namespace zv {

class Pictures {
 public:
  // Starts reading and decoding the prize picture files on every core, for start-up,
  // unless the context brings that begun for the same program directory.
  explicit Pictures(StageContext& stage);
  // The same, as soon as the program knows its directory (before the stage exists), so
  // the decodes overlap all of the rest of the start; handed to the stage's context.
  static PicturesLoadedAhead startLoadingEarly(const std::string& programDirectory);
  ~Pictures();

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
  // The prize pictures decoded on every core for the first frame, at the slots' size, and
  // at the sizes the roll shows them (the result picture, the raised slot) where that
  // decode covers them; the other sizes follow in the background. Called once every size
  // is known, before the stage is shown, so the audience never sees a picture come in.
  void preparePicturesForFirstFrame();
  // The pictures queued for decoding at the sizes they are shown at now (after the
  // result picture or the wheel was resized, or a picture changed), so that the roll
  // never waits for a decoder.
  void prepareShownSizes();
  // Whether background decodes are still under way.
  bool preparing() const { return queue_.busy(); }

  void changePrizePicture(int slot);
  void changeBackground();
  void removeBackground();

 private:
  // Copies the chosen file over target, a PNG, BMP or WebP re-encoded as JPEG; a failure
  // is reported naming both files and leaves target as it was. Returns whether target now
  // holds the chosen picture.
  bool copyChosen(const std::string& chosen, const std::string& target) const;

  std::vector<PictureSizes> shownSizes() const;

  StageContext& stage_;
  std::shared_ptr<PictureFilesLoading> loading_;  // until the first frame is prepared
  PictureQueue queue_;
};

}  // namespace zv
