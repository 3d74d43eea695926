#pragma once
// Verifiable draws on the stage: the menu item and its window, the picks from the event's
// secret while it is on, the 可验证 mark, and the event resumed at start-up.
#include <QObject>
#include <memory>
#include <optional>

#include "draw/verifiable_session.h"
#include "stage/stage_context.h"

class QLabel;

namespace zv {

class VerifiableWindow;

class VerifiableDraws : public QObject {
 public:
  static constexpr const char* kMarkName = "可验证标记";
  static constexpr const char* kMarkText = "可验证";

  explicit VerifiableDraws(StageContext& stage);
  ~VerifiableDraws() override;

  void addHandlers(forms::HandlerTable& table);

  void openWindow();
  VerifiableWindow* window() const { return window_.get(); }
  VerifiableSession* session() { return session_ ? &*session_ : nullptr; }
  QLabel* mark() const { return mark_; }
  bool on() const { return session_ && session_->state() == VerifiableSession::State::On; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void resumeAtStartUp();
  // The draw's pick and the mark follow the session's state.
  void follow();

  StageContext& context_;
  std::optional<VerifiableSession> session_;  // once the journal is attached
  QLabel* mark_ = nullptr;
  std::unique_ptr<VerifiableWindow> window_;
};

}  // namespace zv
