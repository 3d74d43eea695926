#include "stage/stage_context.h"

namespace zv {

void addHandler(forms::HandlerTable& table, const char* name, std::function<void()> action) {
  table[name] = [action = std::move(action)](const forms::UnitEvent&) { action(); };
}

void bindNotBuiltYet(forms::HandlerTable& table, std::initializer_list<const char*> names) {
  for (const char* name : names) addHandler(table, name, [] {});
}

void tickExclusively(forms::Form& form, std::span<const char* const> captions,
                     const char* ticked) {
  for (const char* caption : captions) {
    form.menuItem(QString::fromUtf8(caption))->setTicked(std::string_view(caption) == ticked);
  }
}

}  // namespace zv
