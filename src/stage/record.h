#pragma once
// The stage's record keeping: every landing written to the draw journal, the journal
// window, voiding the last win, and rehearsal mode with its mark on the stage.
#include <QObject>
#include <array>
#include <functional>
#include <memory>

#include "draw/draw_record.h"
#include "forms/form.h"
#include "store/journal.h"
#include "store/program_files.h"

class QLabel;

namespace zv {

class DrawCycle;
class JournalWindow;

class RecordModule : public QObject {
 public:
  static constexpr const char* kRehearsalMarkName = "彩排标记";
  static constexpr const char* kRehearsalMarkText = "彩排";

  explicit RecordModule(const ProgramFiles& files);
  ~RecordModule() override;

  // The popup menu's record items.
  forms::HandlerTable handlers();
  // Once the stage and its draw exist: landings are recorded, the mark is made, the void
  // item follows the journal. Rehearsal starts off at every start of the program.
  void attach(forms::Form& stage, DrawCycle& draw);

  // At start-up: a 核对 row when the results file's tallies are not those the journal's
  // last row explains.
  void reconcileAtStartUp();

  // For the results window: a clear of the tallies that succeeded, with the tallies before.
  std::function<void(const std::array<double, kSlotCount>&)> clearRecorder();

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

  const ProgramFiles& files_;
  Journal journal_;
  DrawRecord record_;
  forms::Form* stage_ = nullptr;
  DrawCycle* draw_ = nullptr;
  void makeMark();

  QLabel* mark_ = nullptr;  // made when rehearsal mode first comes on
  bool rehearsal_ = false;
  std::unique_ptr<JournalWindow> journalWindow_;
};

}  // namespace zv
