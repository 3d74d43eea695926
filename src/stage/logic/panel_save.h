#pragma once
// The Save of the other-settings panel as a fixed sequence over a small view of the
// stage, so that the order of its writes and its effects can be followed without a window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

// What the panel's edit boxes and check box hold when Save is pressed.
struct PanelFields {
  std::string resultWidth;
  std::string resultHeight;
  std::string rollInterval;
  bool effectsOff = false;
  std::string autoStop;
  std::string wheelSize;
};

// The stage as Save sees it.
class PanelStage {
 public:
  virtual ~PanelStage() = default;
  virtual PanelFields fields() const = 0;
  // One key of the settings file's general section; false when the file could not be written.
  virtual bool write(std::string_view key, std::string_view value) = 0;
  virtual void setResultHeight(int pixels) = 0;
  virtual void setResultWidth(int pixels) = 0;
  // Hides the panel and lets the focus timer hand the keyboard to the draw again.
  virtual void closePanel() = 0;
  // The wheel back to its layout size; its frame keeps its place.
  virtual void resetWheel() = 0;
  virtual void enlargeWheel() = 0;
  virtual void clipWheel() = 0;
  virtual void reportWriteFailure() = 0;
};

// Largest width or height given to a unit: Qt clamps beyond this, and no screen needs more.
inline constexpr int kMaxUnitExtent = 16'000;

// A size typed or stored as text: its integer value within 0..kMaxUnitExtent.
int unitExtent(std::string_view text);

// A stored result-picture size at start-up, within 0..kMaxUnitExtent; none stored leaves
// the design size. The text form reads an empty text as none stored.
int storedResultExtent(std::optional<std::int32_t> stored, int designPixels);
int storedResultExtent(std::string_view stored, int designPixels);

// Writes every field as typed, sizes the result picture, closes the panel, then
// resets the wheel and enlarges it as many steps as the wheel size asks for, and clips
// it round again. Nothing is refused; a write that failed is reported once at the end.
void savePanel(PanelStage& stage);

}  // namespace zv
