#include "stage/stage_draw.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "layout/window_layouts.h"
#include "dialogs/message_boxes.h"
#include "host/effects_window.h"
#include "platform/files.h"
#include "resources/step_tick.h"
#include "resources/win_sound.h"
#include "store/settings_file.h"

namespace zv {

using forms::Button;
using forms::PictureBox;
using forms::WindowTimer;

namespace {

constexpr const char* kExhaustedTitle = "Zorvane信息提示";
constexpr const char* kExhaustedText =
    "1．如果是第一次运行程序，请先点击右键，选择奖项设置菜单，进行奖项设置！\r\n\r\n"
    "————————————————————————————\r\n\r\n"
    "2．如果是按奖品数量方式正在抽奖！应该是奖品数量已抽取完毕，清空抽奖结果后可以再重新抽奖！";

}  // namespace

StageDraw::StageDraw(forms::Form& form, const ProgramFiles& files, Audio& audio,
                     RandomSource& random)
    : form_(form), files_(files), audio_(audio), random_(random) {}

StageDraw::~StageDraw() = default;

std::string StageDraw::autoStopText() const {
  return form_.unit<QLineEdit>(units::kAutoStopEdit)->text().toStdString();
}

std::string StageDraw::rollIntervalText() const {
  return form_.unit<QLineEdit>(units::kRollIntervalEdit)->text().toStdString();
}

bool StageDraw::effectsOff() const {
  return form_.unit<QCheckBox>(units::kEffectsOffBox)->isChecked();
}

bool StageDraw::musicOn() const { return musicOn_ && musicOn_(); }

void StageDraw::setRollInterval(int milliseconds) {
  form_.unit<WindowTimer>(units::kRollTimer)->setInterval(milliseconds);
}

void StageDraw::setAutoStopInterval(int milliseconds) {
  form_.unit<WindowTimer>(units::kAutoStopTimer)->setInterval(milliseconds);
}

void StageDraw::showStartLabel(bool start) {
  form_.unit<QWidget>(units::kStartLabel)->setVisible(start);
  form_.unit<QWidget>(units::kStopLabel)->setVisible(!start);
}

std::string StageDraw::drawButtonCaption() const {
  return form_.unit<Button>(units::kDrawButton)->text().toStdString();
}

void StageDraw::setDrawButtonCaption(const std::string& caption) {
  form_.unit<Button>(units::kDrawButton)->setText(QString::fromStdString(caption));
}

void StageDraw::setDrawButtonEnabled(bool enabled) {
  form_.unit<Button>(units::kDrawButton)->setEnabled(enabled);
}

PictureBox* StageDraw::slot(int slot) const {
  return form_.unit<PictureBox>(units::prizeBox(slot));
}

PictureData StageDraw::slotPicture(int s) const { return slot(s)->picture(); }

void StageDraw::setSlotPicture(int s, PictureData picture) {
  slot(s)->setPicture(std::move(picture));
}

void StageDraw::setSlotRaised(int s, bool raised) {
  slot(s)->setBorder(raised ? PictureBox::Border::Raised : PictureBox::Border::None);
}

PictureData StageDraw::readPrizePictureFile(int s) const {
  // Read at every step of the roll: heap memory, which the allocator hands back warm each
  // time, costs less here than memory mapped afresh (PictureData::fromFile, for start-up).
  return PictureData(readWholeFile(files_.prizePicture(s)));
}

void StageDraw::setResultPicture(PictureData picture) {
  form_.unit<PictureBox>(units::kResultPicture)->setPicture(std::move(picture));
}

void StageDraw::setResultVisible(bool visible) {
  form_.unit<QWidget>(units::kResultPicture)->setVisible(visible);
}

bool StageDraw::designatedMarker() const {
  return !form_.unit<QWidget>(units::kDesignatedMarker)->isHidden();
}

void StageDraw::clearDesignatedMarker() { form_.unit<QWidget>(units::kDesignatedMarker)->hide(); }

void StageDraw::startMusic() {
  // The audio library opens it by name, and would wait forever on a FIFO.
  if (isReadableRegularFile(files_.music())) audio_.playMusicLoop(files_.music());
}

void StageDraw::stopAllPlayback() { audio_.stopAll(); }

void StageDraw::playWinSound() { audio_.playOnce(winSound()); }

void StageDraw::playStepTick() { audio_.playTick(stepTick()); }

void StageDraw::openEffects() {
  // One window per stage and placement, shown again for each win: making and destroying
  // a window at every stop cost time at the stop and left memory behind each time.
  const EffectsPlacement placement = effectsPlacementFor(&form_);
  // Read at each win: the menu may have changed it since the last.
  const bool smooth = SettingsFile(files_.settings()).get(setting::kSmoothFireworks);
  if (effects_ && effects_->placement() == placement) {
    effects_->replay(random_, smooth);
  } else {
    effects_ = std::make_unique<EffectsWindow>(&form_, random_, placement, smooth);
  }
  effects_->show();
}

void StageDraw::closeEffects() {
  if (effects_) effects_->stop();
}

bool StageDraw::effectsOpen() const { return effects_ && effects_->control() != nullptr; }

void StageDraw::showExhaustedMessage() {
  MessageBoxes::show(kExhaustedText, kExhaustedTitle, MessageButtons::Ok, MessageIcon::Information);
}

void StageDraw::reportTallyNotWritten() {
  if (reportedAsUnusable(files_.results())) return;  // told once, not at every win
  MessageBoxes::show("中奖结果未能写入文件 " + files_.results() + "，本次中奖没有计入！",
                     MessageBoxes::kDefaultTitle, MessageButtons::Ok, MessageIcon::Warning);
}

void StageDraw::after(int milliseconds, std::function<void()> continuation) {
  QTimer::singleShot(milliseconds, &form_, std::move(continuation));
}

DrawKeyTarget::DrawKeyTarget(forms::Form& form, const char* button)
    : QWidget(&form), form_(form), button_(button) {
  setFocusPolicy(Qt::StrongFocus);
  setGeometry(0, 0, 0, 0);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DrawKeyTarget::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat() && spaceFirst_ && spaceFirst_()) spaceUsed_ = true;
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void DrawKeyTarget::keyReleaseEvent(QKeyEvent* event) {
  // A button clicks when Space is let go, once however long it was held.
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    if (spaceUsed_) {
      spaceUsed_ = false;
    } else if (form_.unit<Button>(button_)->isEnabled()) {
      form_.dispatch(button_, forms::EventKind::Click);
    }
    event->accept();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

}  // namespace zv
