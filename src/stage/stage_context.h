#pragma once
// What a stage module may reach, handed to every module at construction.
//
// Every feature of the stage is a module of one shape:
//
//   class Feature {
//    public:
//     explicit Feature(StageContext& stage);
//     void addHandlers(forms::HandlerTable& table);  // the handler names it answers
//     void apply...AtStartUp();                      // its steps, called by startUp()
//   };
//
// MainWindow constructs the modules, collects their handlers before the window is
// built, and startUp() calls their start-up steps in the fixed order of the created
// event. A module never reaches MainWindow or another module; what it needs comes
// through the context.
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>

#include "draw/draw_cycle.h"
#include "draw/random_source.h"
#include "forms/form.h"
#include "platform/audio.h"
#include "store/program_files.h"
#include "store/settings_file.h"

namespace zv {

struct StageContext {
  forms::Form& form;  // the stage window; its units exist by the time a module runs
  const SettingsFile& settings;
  const ProgramFiles& files;
  Audio& audio;
  RandomSource& random;
  DrawCycle& draw;
  std::function<QSize()> screenSize;        // the stage's monitor, read at each use
  std::function<void()> takeKeyboardFocus;  // the stage active and Space at the draw
  std::function<QRect()> screenGeometry;    // the stage's monitor, origin included
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
