#pragma once
// The stage window: built from its layout, set up from the settings file at start-up,
// and the display, wheel-size and wheel-style operations that the menu and the
// other-settings panel call.
#include <QSize>
#include <functional>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "app/stage_draw.h"
#include "draw/draw_cycle.h"
#include "draw/random_source.h"
#include "forms/form.h"
#include "platform/audio.h"
#include "platform/qt/hot_key.h"
#include "store/program_files.h"
#include "store/settings_file.h"

namespace zv {

struct StageEnvironment {
  std::string programDirectory;
  std::function<QSize()> screenSize;  // the primary screen, read at each use
  std::function<void()> quit;         // ends the program; the application's quit by default
};

class PasswordWindow;
class RecordModule;
class ResultsWindow;

class MainWindow {
 public:
  explicit MainWindow(StageEnvironment environment);
  ~MainWindow();

  // Runs the window's created event (the start-up sequence) and shows it.
  void start();
  // The created event alone, for tests that look at the window before it is shown.
  void runCreated();

  forms::Form& form() { return *form_; }
  DrawCycle& draw() { return *draw_; }
  StageDraw& drawStage() { return *drawStage_; }
  RandomSource& random() { return random_; }
  ProgramState& state() { return state_; }
  RecordModule& record() { return *record_; }
  const ProgramFiles& files() const { return files_; }
  const SettingsFile& settings() const { return settings_; }
  QSize screenSize() const;

  // Display modes; each writes the mode to the settings file.
  void fullScreenMode();
  void windowedMode();

  // The wheel: one 1.1x step, the layout geometry, a stored wheel size, the ellipse.
  void enlargementStep();
  void resetWheel();
  void applyWheelSize(std::string_view wheelSizeText);
  void clipWheel();

  // The popup menu at a press's screen position.
  void openPopup(QPoint globalPos);
  // The gate in front of the prize settings, and the tallies; both modal.
  void openPasswordWindow();
  void openResultsWindow();
  PasswordWindow* passwordWindow() const { return passwordWindow_.get(); }
  ResultsWindow* resultsWindow() const { return resultsWindow_.get(); }
  // The exit confirmation; true when the operator confirmed and the program ends.
  bool confirmExit();

  // Wheel style 1..4 chosen from the menu: picture, tick marks and the stored key.
  void chooseStyle(int style);
  // Picture and tick marks only, as start-up applies the stored style.
  void showStyle(int style, bool tickMarks);

 private:
  forms::HandlerTable handlers();
  forms::HandlerTable menuHandlers();
  std::array<PictureData, 8> prizePictures() const;
  void startUp();  // the created event
  // The stage window active and Space at the draw, as after start-up.
  void takeKeyboardFocus();
  void applyStoredTitleFont(const char* label, std::string_view faceKey, std::string_view sizeKey,
                            std::string_view colourKey);
  void tickExclusively(const std::vector<const char*>& captions, const char* ticked);

  StageEnvironment environment_;
  ProgramFiles files_;
  SettingsFile settings_;
  ProgramState state_;
  GlobalHotKey hotKey_;
  Audio audio_;
  RandomSource random_;
  std::unique_ptr<forms::Form> form_;
  std::unique_ptr<StageDraw> drawStage_;
  std::unique_ptr<DrawCycle> draw_;
  DrawKeyTarget* keyTarget_ = nullptr;
  std::unique_ptr<PasswordWindow> passwordWindow_;
  std::unique_ptr<ResultsWindow> resultsWindow_;
  std::unique_ptr<RecordModule> record_;  // the draw journal, void and rehearsal
};

}  // namespace zv
