#include "stage/verifiable_draws.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QRandomGenerator>
#include <QScreen>
#include <array>

#include "dialogs/verifiable_window.h"
#include "layout/handler_names.h"
#include "platform/files.h"
#include "platform/qt/window_owner.h"
#include "stage/stage_mark.h"

namespace zv {

namespace {

// The operating system's random source: the secret must be beyond anyone's guess.
std::string systemSecret() {
  std::array<quint32, kSecretBytes / sizeof(quint32)> words{};
  QRandomGenerator::system()->fillRange(words.data(), words.size());
  return std::string(reinterpret_cast<const char*>(words.data()), kSecretBytes);
}

// Above the rehearsal mark's row.
constexpr int kMarkRow = 1;

}  // namespace

VerifiableDraws::VerifiableDraws(StageContext& stage) : context_(stage) {
  stage.services.menuHeld = [this] {
    return on() && (context_.draw.rolling() || context_.draw.slowingDown());
  };
  stage.startUp.add(StartUpStep::kVerifiableResumed, [this] { resumeAtStartUp(); });
}

VerifiableDraws::~VerifiableDraws() = default;

void VerifiableDraws::addHandlers(forms::HandlerTable& table) {
  addHandler(table, handlers::kMenuVerifiable, [this] { openWindow(); });
}

void VerifiableDraws::resumeAtStartUp() {
  session_.emplace(joinPath(context_.files.directory, verifiable_text::kSecretFileName),
                   context_.services.drawRecord(), systemSecret);
  session_->load();
  context_.form.installEventFilter(this);
  follow();
}

void VerifiableDraws::follow() {
  if (on()) {
    context_.draw.setPick([this](const DrawPool& pool) { return session_->pick(pool); });
  } else {
    context_.draw.setPick({});
  }
  if (on() && !mark_) mark_ = makeStageMark(&context_.form, kMarkText, kMarkName);
  if (mark_) {
    placeStageMark(mark_, &context_.form, kMarkRow);
    mark_->setVisible(on());
  }
}

bool VerifiableDraws::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &context_.form &&
      (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
    placeStageMark(mark_, &context_.form, kMarkRow);
  }
  return QObject::eventFilter(watched, event);
}

void VerifiableDraws::openWindow() {
  if (!session_) return;
  window_ = std::make_unique<VerifiableWindow>(*session_, [this] { follow(); });
  window_->setWindowModality(Qt::ApplicationModal);
  keepAboveOwner(*window_);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    // Most of the projector's picture, for the commitment to read from the back of the hall.
    window_->resize((area.size() * 0.85).expandedTo(window_->size()).boundedTo(area.size()));
    window_->move(area.center() - QPoint(window_->width() / 2, window_->height() / 2));
  }
  window_->show();
  window_->activateWindow();
}

}  // namespace zv
