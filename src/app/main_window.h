#pragma once
// The stage window and the composition root of its features: it owns the services the
// features share, builds the window from its layout with the handlers of the feature
// modules (app/stage_modules.h), and runs the start-up steps they registered.
#include <QRect>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "stage/stage_draw.h"
#include "draw/draw_cycle.h"
#include "draw/random_source.h"
#include "forms/form.h"
#include "platform/audio.h"
#include "platform/qt/backing_store_warm_up.h"
#include "stage/program_state.h"
#include "stage/stage_context.h"
#include "store/program_files.h"
#include "store/settings_file.h"

namespace zv {

struct StageEnvironment {
  std::string programDirectory;
  std::function<QSize()> screenSize;  // the primary screen, read at each use
  std::function<void()> quit;         // ends the program; the application's quit by default
  // The chosen monitor's geometry by its stored name (the primary's when it is gone); when
  // unset, the stage's monitor is screenSize at 0, 0.
  std::function<QRect(const std::string& monitorName)> monitorGeometry;
  // Prize pictures begun before the stage (Pictures::startLoadingEarly); none by default.
  PicturesLoadedAhead picturesAhead;
};

struct StageModules;
class DisplayModes;
class Pictures;
class Screens;
class Wheel;
class PasswordWindow;
class RecordModule;
class VerifiableDraws;
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
  Audio& audio() { return audio_; }
  ProgramState& state() { return state_; }
  const ProgramFiles& files() const { return files_; }
  const SettingsFile& settings() const { return settings_; }
  QSize screenSize() const;
  QRect screenGeometry() const;  // the stage's monitor

  DisplayModes& displayModes();
  Wheel& wheel();
  Pictures& pictures();
  RecordModule& record();
  VerifiableDraws& verifiable();
  PasswordWindow* passwordWindow() const;
  ResultsWindow* resultsWindow() const;

 private:
  forms::HandlerTable handlers();
  void dispatchCreated();

  StageEnvironment environment_;
  ProgramFiles files_;
  SettingsFile settings_;
  ProgramState state_;
  Audio audio_;
  RandomSource random_;
  std::unique_ptr<forms::Form> form_;
  std::unique_ptr<StageDraw> drawStage_;
  std::unique_ptr<DrawCycle> draw_;
  std::unique_ptr<StageContext> context_;
  std::unique_ptr<StageModules> modules_;
  // Made by the start-up steps once the window's size is final; ended before any event is
  // handled (declared last: gone before the window).
  std::optional<BackingStoreWarmUp> storeWarmUp_;
};

}  // namespace zv
