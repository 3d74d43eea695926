#pragma once
// A window described as data: its units with their places, looks and bound events, and
// its popup menu. The builder turns a description into widgets.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zv::forms {

enum class UnitKind {
  Label,
  TransparentLabel,
  EditBox,
  CheckBox,
  RadioButton,
  Button,
  PictureBox,
  Shape,
  GroupBox,
  Timer,
  CommonDialog,
};

enum class EventKind {
  Created,
  CloseRequest,
  LeftButtonDown,
  // While the left button is held after a press on the unit, wherever the mouse goes:
  // the unit keeps the mouse until the release, so a drag needs no grab of its own.
  LeftButtonMove,
  LeftButtonUp,
  DoubleClick,
  RightButtonDown,
  Click,
  Tick,
  HotKey,
  Selected,
};

struct FontDescription {
  std::string face;
  int pixelHeight = 0;  // character height
  bool bold = false;
};

struct EventBinding {
  EventKind event;
  std::string handler;
};

inline constexpr std::uint32_t kNavy = 0x800000;  // 0x00BBGGRR

struct UnitDescription {
  std::string name;
  UnitKind kind = UnitKind::Label;
  std::string parent;  // empty: the window
  int left = 0, top = 0, width = 0, height = 0;
  std::string caption;
  std::optional<FontDescription> font;
  std::optional<std::uint32_t> colour;  // text colour, 0x00BBGGRR
  bool visible = true;
  bool enabled = true;
  bool handCursor = false;
  bool passwordEntry = false;
  bool disabledLook = false;  // a label drawn in the greyed colour
  // An edit box that shows a value in the normal text colour, is not typed into and never
  // takes the keyboard.
  bool readOnly = false;
  std::string picture;        // a picture the builder's resolver knows by this id; empty: none
  int interval = 0;           // timers, milliseconds
  std::vector<EventBinding> events;
};

struct MenuItemDescription {
  std::string caption;
  bool ticked = false;
  bool hidden = false;
  bool separator = false;  // a dividing line; nothing else of the item is used
  std::string handler;     // selected
  std::vector<MenuItemDescription> items;
};

struct WindowDescription {
  std::string caption;
  int width = 0, height = 0;  // at the design position 50, 50
  std::vector<UnitDescription> units;
  std::vector<EventBinding> events;  // created, close request, right button down
  std::vector<MenuItemDescription> popupMenu;
};

}  // namespace zv::forms
