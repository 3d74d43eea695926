#pragma once
// The popup menu's own commands: the popup itself, help, about, exit, the event folder
// and the two modal windows it opens.
#include <QPoint>
#include <array>
#include <functional>
#include <memory>

#include "stage/stage_context.h"
#include "store/prize_slots.h"

namespace zv {

class PasswordWindow;
class ResultsWindow;

class MenuCommands {
 public:
  explicit MenuCommands(StageContext& stage);
  ~MenuCommands();

  void addHandlers(forms::HandlerTable& table);

  // The popup menu at a press's screen position.
  void openPopup(QPoint globalPos);
  // The gate in front of the prize settings, and the tallies; both modal.
  void openPasswordWindow();
  void openResultsWindow();
  PasswordWindow* passwordWindow() const { return passwordWindow_.get(); }
  ResultsWindow* resultsWindow() const { return resultsWindow_.get(); }
  // The exit confirmation; true when the operator confirmed and the program ends.
  bool confirmExit();

 private:
  std::array<PictureData, kSlotCount> prizePictures() const;

  StageContext& stage_;
  bool exiting_ = false;  // a confirmed exit is closing the windows
  std::unique_ptr<PasswordWindow> passwordWindow_;
  std::unique_ptr<ResultsWindow> resultsWindow_;
};

}  // namespace zv
