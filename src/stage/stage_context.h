#pragma once
// What a stage module may reach, handed to every module at construction.
//
// Every feature of the stage is a module of one shape:
//
//   class Feature {
//    public:
//     explicit Feature(StageContext& stage);  // registers its services and start-up steps
//     void addHandlers(forms::HandlerTable& table);  // the handler names it answers
//   };
//
// MainWindow constructs the modules of the list (app/stage_modules.h), collects their
// handlers before the window is built, and its created event runs the start-up steps in
// the order of StartUpStep. A module never reaches MainWindow or another module: what it
// needs comes through the context, another module's operations through the named services.
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "draw/draw_cycle.h"
#include "draw/draw_record.h"
#include "draw/random_source.h"
#include "forms/form.h"
#include "platform/audio.h"
#include "stage/program_state.h"
#include "stage/stage_draw.h"
#include "stage/start_up_steps.h"
#include "store/prize_slots.h"
#include "store/program_files.h"
#include "store/journal.h"
#include "store/settings_file.h"

namespace zv {

class PictureFilesLoading;

// One module's operations that others use, by name. The module that provides one sets it
// when it is constructed; the others call it only once the stage runs, when every module
// exists.
struct StageServices {
  // Display modes: the stage on the stored monitor in the stored display mode.
  std::function<void()> placeStage;
  // The wheel: back to the layout size (the frame where it stands), one 1.1x step, the
  // round outline again.
  std::function<void()> resetWheel;
  std::function<void()> enlargeWheel;
  std::function<void()> clipWheel;
  // Pictures: queued for decoding at the sizes they are shown at now.
  std::function<void()> prepareShownSizes;
  // Music: the switch, read by the draw at each start.
  std::function<bool()> musicOn;
  // Record: a clear of the tallies that succeeded, with the tallies from before it.
  std::function<void(const std::array<double, kSlotCount>&)> recordClear;
  // The draw: the stage window active and Space at the draw, as after start-up.
  std::function<void()> takeKeyboardFocus;
  // Record: a landing once its journal row is written (nothing when it could not be).
  std::function<void(const Landing&, const std::optional<JournalRow>&)> landed;
  // Show effects: closes the winner close-up; false when none was showing. Space asks it
  // first, so the Space that closes it starts nothing.
  std::function<bool()> dismissCloseUp;
  // Record: the journal's rules, for the rows of a verifiable event and its picks.
  std::function<DrawRecord&()> drawRecord;
  // Verifiable draws: the popup menu waits while a verifiable draw runs, so that no row
  // can come between a pick and the row of its landing.
  std::function<bool()> menuHeld;
};

// Prize pictures the program began reading before the stage existed, and for which
// program directory.
struct PicturesLoadedAhead {
  std::string directory;
  std::shared_ptr<PictureFilesLoading> loading;
};

struct StageContext {
  forms::Form& form;  // the stage window; its units exist by the time a module runs
  const SettingsFile& settings;
  const ProgramFiles& files;
  Audio& audio;
  RandomSource& random;
  DrawCycle& draw;
  StageDraw& drawStage;                   // the draw cycle's view of the stage
  ProgramState& state;                    // prize values and the slot list, set at start-up
  std::function<QSize()> screenSize;      // the stage's monitor, read at each use
  std::function<QRect()> screenGeometry;  // the stage's monitor, origin included
  std::function<void()> quit;             // ends the program; the application's quit when empty
  PicturesLoadedAhead picturesAhead;      // taken by the pictures module
  StageServices services;
  StartUpSteps startUp;
};

// Binds a handler that needs none of the event's details.
void addHandler(forms::HandlerTable& table, const char* name, std::function<void()> action);

// Binds handlers whose feature is not built yet: the layout binds them, so they must
// exist, and until then they do nothing.
void bindNotBuiltYet(forms::HandlerTable& table, std::initializer_list<const char*> names);

// Ticks the menu item `ticked` and unticks the other captions of its group.
void tickExclusively(forms::Form& form, std::span<const char* const> captions, const char* ticked);
inline void tickExclusively(forms::Form& form, std::initializer_list<const char*> captions,
                            const char* ticked) {
  tickExclusively(form, std::span(captions.begin(), captions.size()), ticked);
}

inline QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace zv
