// The effects window: an empty frame that the movie host fills.
#include "app/handler_names.h"
#include "app/window_layouts.h"

namespace zv {

const forms::WindowDescription& effectsLayout() {
  static const forms::WindowDescription layout = [] {
    forms::WindowDescription w;
    w.width = 380;
    w.height = 250;
    w.events = {{forms::EventKind::Created, handlers::kEffectsCreated}};
    return w;
  }();
  return layout;
}

}  // namespace zv
