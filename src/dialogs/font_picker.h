#pragma once
// The modal font dialog: face, size in points, styles and a text colour. Tests script the
// answers instead of waiting for a person.
#include <QDialog>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

class QCheckBox;
class QColorDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace zv {

struct FontChoice {
  std::string face;  // as the operator chose it: 宋体 stays 宋体
  int points = 9;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint32_t colour = 0;  // 0x00BBGGRR
  bool operator==(const FontChoice&) const = default;
};

class FontPicker {
 public:
  // The confirmed choice, or nothing when the operator cancelled. The dialog starts
  // showing `start`.
  static std::optional<FontChoice> ask(const FontChoice& start);

  // For tests: while scripted, no dialog is shown; queued answers are given in turn, then
  // a cancel. The starting choices are recorded.
  static void setScripted(bool scripted);
  static void setNextAnswer(std::optional<FontChoice> answer);
  static const std::deque<FontChoice>& offered();
  static void clearOffered();
};

// The dialog itself: the installed faces under the Chinese face names, a size, bold,
// italic, underline, strike-out, the sixteen classic colours and any other colour.
class FontDialog : public QDialog {
 public:
  explicit FontDialog(const FontChoice& start, QWidget* parent = nullptr);

  FontChoice choice() const;
  void setChoice(const FontChoice& choice);

  QListWidget* faceList() const { return faces_; }
  QComboBox* colourList() const { return colours_; }
  QLabel* sample() const { return sample_; }

 private:
  void selectColour(std::uint32_t bgr);
  void chooseOtherColour();
  void showSample();

  QLineEdit* face_ = nullptr;
  QListWidget* faces_ = nullptr;
  QSpinBox* size_ = nullptr;
  QCheckBox* bold_ = nullptr;
  QCheckBox* italic_ = nullptr;
  QCheckBox* underline_ = nullptr;
  QCheckBox* strikeOut_ = nullptr;
  QComboBox* colours_ = nullptr;
  QLabel* sample_ = nullptr;
  QColorDialog* other_ = nullptr;
  std::string startFace_;
};

}  // namespace zv
