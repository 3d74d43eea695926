#pragma once
// The stage's record keeping: every landing written to the draw journal, the journal
// window, voiding the last win, and rehearsal mode with its mark on the stage.
#include <QObject>
#include <memory>

#include "draw/draw_record.h"
#include "stage/stage_context.h"
#include "store/journal.h"

class QLabel;

namespace zv {

class JournalWindow;

class RecordModule : public QObject {
 public:
  static constexpr const char* kRehearsalMarkName = "彩排标记";
  static constexpr const char* kRehearsalMarkText = "彩排";

  explicit RecordModule(StageContext& stage);
  ~RecordModule() override;

  // The popup menu's record items.
  void addHandlers(forms::HandlerTable& table);
  // Once the stage window is built: landings are recorded, the mark is made, the void
  // item follows the journal. Rehearsal starts off at every start of the program.
  void attachAtStartUp();

  // At start-up: a 核对 row when the results file's tallies are not those the journal's
  // last row explains.
  void reconcileAtStartUp();

  void setRehearsal(bool on);
  bool rehearsal() const { return rehearsal_; }
  void openJournalWindow();
  // After the operator's confirmation; does nothing when there is no win to void.
  void voidLastWin();
  // The void item enabled exactly when there is a win it may void.
  void refreshMenu();

  JournalWindow* journalWindow() const { return journalWindow_.get(); }
  QLabel* rehearsalMark() const { return mark_; }
  DrawRecord& record() { return record_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void placeMark();

  StageContext& context_;
  const ProgramFiles& files_;
  Journal journal_;
  DrawRecord record_;
  forms::Form* stage_ = nullptr;  // once attached
  DrawCycle* draw_ = nullptr;
  void makeMark();

  QLabel* mark_ = nullptr;  // made when rehearsal mode first comes on
  bool rehearsal_ = false;
  std::unique_ptr<JournalWindow> journalWindow_;
};

}  // namespace zv
