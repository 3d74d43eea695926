#include "dialogs/font_picker.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "forms/logic/font_numbers.h"
#include "platform/qt/fonts.h"
#include "platform/qt/window_owner.h"

namespace zv {

namespace {

struct Script {
  bool scripted = false;
  std::deque<std::optional<FontChoice>> answers;
  std::deque<FontChoice> offered;
};

Script& script() {
  static Script s;
  return s;
}

// The sixteen colours every Windows font dialog offers, in its order.
struct NamedColour {
  const char* name;
  forms::Rgb rgb;
};
constexpr NamedColour kClassicColours[] = {
    {"黑色", {0, 0, 0}},       {"褐红色", {128, 0, 0}},     {"绿色", {0, 128, 0}},
    {"橄榄色", {128, 128, 0}}, {"藏青色", {0, 0, 128}},     {"紫色", {128, 0, 128}},
    {"深青色", {0, 128, 128}}, {"灰色", {128, 128, 128}},   {"银色", {192, 192, 192}},
    {"红色", {255, 0, 0}},     {"酸橙色", {0, 255, 0}},     {"黄色", {255, 255, 0}},
    {"蓝色", {0, 0, 255}},     {"紫红色", {255, 0, 255}},   {"水绿色", {0, 255, 255}},
    {"白色", {255, 255, 255}},
};
constexpr const char* kOtherColourName = "自定义";
constexpr int kLargestSize = 1000;
constexpr int kLargestSamplePixels = 48;  // the sample box shows large sizes cut down

QColor qColour(std::uint32_t bgr) {
  const forms::Rgb rgb = forms::rgbFromBgr(bgr);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

QIcon swatch(std::uint32_t bgr) {
  QPixmap pixmap(24, 14);
  pixmap.fill(qColour(bgr));
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  return QIcon(pixmap);
}

}  // namespace

std::optional<FontChoice> FontPicker::ask(const FontChoice& start) {
  Script& s = script();
  s.offered.push_back(start);
  if (s.scripted) {
    if (s.answers.empty()) return std::nullopt;
    auto answer = s.answers.front();
    s.answers.pop_front();
    return answer;
  }
  FontDialog dialog(start);
  dialog.setWindowModality(Qt::ApplicationModal);
  keepAboveOwner(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

void FontPicker::setScripted(bool scripted) { script().scripted = scripted; }
void FontPicker::setNextAnswer(std::optional<FontChoice> answer) {
  script().answers.push_back(std::move(answer));
}
const std::deque<FontChoice>& FontPicker::offered() { return script().offered; }
void FontPicker::clearOffered() { script().offered.clear(); }

FontDialog::FontDialog(const FontChoice& start, QWidget* parent) : QDialog(parent) {
  setWindowTitle("字体");

  face_ = new QLineEdit(this);
  faces_ = new QListWidget(this);
  QStringList names = chineseFaceNames();
  for (const QString& family : QFontDatabase::families()) {
    if (!QFontDatabase::isPrivateFamily(family) && !names.contains(family)) names << family;
  }
  faces_->addItems(names);
  connect(faces_, &QListWidget::currentTextChanged, this, [this](const QString& face) {
    if (!face.isEmpty() && face != face_->text()) face_->setText(face);
  });
  connect(face_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    const auto found = faces_->findItems(typed, Qt::MatchStartsWith);
    if (!found.isEmpty()) faces_->scrollToItem(found.front());
  });
  connect(face_, &QLineEdit::textChanged, this, [this] { showSample(); });

  size_ = new QSpinBox(this);
  size_->setRange(1, kLargestSize);
  bold_ = new QCheckBox("粗体", this);
  italic_ = new QCheckBox("斜体", this);
  strikeOut_ = new QCheckBox("删除线", this);
  underline_ = new QCheckBox("下划线", this);
  for (QCheckBox* box : {bold_, italic_, strikeOut_, underline_}) {
    connect(box, &QCheckBox::toggled, this, [this] { showSample(); });
  }
  connect(size_, &QSpinBox::valueChanged, this, [this] { showSample(); });

  colours_ = new QComboBox(this);
  for (const NamedColour& c : kClassicColours) {
    const std::uint32_t bgr = forms::bgrFromRgb(c.rgb);
    colours_->addItem(swatch(bgr), QString::fromUtf8(c.name), QVariant::fromValue(bgr));
  }
  connect(colours_, &QComboBox::currentIndexChanged, this, [this] { showSample(); });
  auto* otherButton = new QPushButton("其他颜色…", this);
  connect(otherButton, &QPushButton::clicked, this, [this] { chooseOtherColour(); });

  sample_ = new QLabel("AaBbYyZz 抽奖活动", this);
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setMinimumSize(260, 72);
  sample_->setAutoFillBackground(true);

  auto* styles = new QVBoxLayout;
  styles->addWidget(bold_);
  styles->addWidget(italic_);
  styles->addStretch();

  auto* effects = new QGroupBox("效果", this);
  auto* effectsLayout = new QGridLayout(effects);
  effectsLayout->addWidget(strikeOut_, 0, 0, 1, 2);
  effectsLayout->addWidget(underline_, 1, 0, 1, 2);
  effectsLayout->addWidget(new QLabel("颜色:", effects), 2, 0, 1, 2);
  effectsLayout->addWidget(colours_, 3, 0);
  effectsLayout->addWidget(otherButton, 3, 1);

  auto* sampleBox = new QGroupBox("示例", this);
  (new QVBoxLayout(sampleBox))->addWidget(sample_);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("确定", QDialogButtonBox::AcceptRole);
  buttons->addButton("取消", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("字体:", this), 0, 0);
  grid->addWidget(new QLabel("字形:", this), 0, 1);
  grid->addWidget(new QLabel("大小:", this), 0, 2);
  grid->addWidget(face_, 1, 0);
  grid->addWidget(size_, 1, 2);
  grid->addWidget(faces_, 2, 0, 2, 1);
  grid->addLayout(styles, 2, 1);
  grid->addWidget(effects, 3, 1, 1, 2);
  grid->addWidget(sampleBox, 4, 0, 1, 3);
  grid->addWidget(buttons, 5, 0, 1, 3);

  startFace_ = start.face;
  setChoice(start);
}

FontChoice FontDialog::choice() const {
  FontChoice c;
  // A face cleared by hand is no choice: the face shown first stays.
  const QString face = face_->text().trimmed();
  c.face = face.isEmpty() ? startFace_ : face.toStdString();
  c.points = size_->value();
  c.bold = bold_->isChecked();
  c.italic = italic_->isChecked();
  c.underline = underline_->isChecked();
  c.strikeOut = strikeOut_->isChecked();
  c.colour = colours_->currentData().value<std::uint32_t>();
  return c;
}

void FontDialog::setChoice(const FontChoice& c) {
  const QString face = QString::fromStdString(c.face);
  face_->setText(face);
  const auto found = faces_->findItems(face, Qt::MatchExactly);
  if (!found.isEmpty()) faces_->setCurrentItem(found.front());
  size_->setValue(std::clamp(c.points, 1, kLargestSize));
  bold_->setChecked(c.bold);
  italic_->setChecked(c.italic);
  underline_->setChecked(c.underline);
  strikeOut_->setChecked(c.strikeOut);
  selectColour(c.colour);
  showSample();
}

void FontDialog::selectColour(std::uint32_t bgr) {
  bgr &= 0xFFFFFFu;
  const int classic = static_cast<int>(std::size(kClassicColours));
  int index = colours_->findData(QVariant::fromValue(bgr));
  if (index < 0 || index >= classic) {
    // One entry beyond the sixteen holds the other colour chosen last.
    if (colours_->count() == classic) colours_->addItem(QString::fromUtf8(kOtherColourName));
    index = classic;
    colours_->setItemIcon(index, swatch(bgr));
    colours_->setItemData(index, QVariant::fromValue(bgr));
  }
  colours_->setCurrentIndex(index);
  showSample();
}

void FontDialog::chooseOtherColour() {
  // open(), not exec(): the colour dialog is window-modal over this one without a second
  // nested event loop.
  if (!other_) {
    other_ = new QColorDialog(this);
    other_->setWindowTitle("颜色");
    other_->setOption(QColorDialog::DontUseNativeDialog);
    connect(other_, &QColorDialog::colorSelected, this, [this](const QColor& colour) {
      selectColour(forms::bgrFromRgb({colour.red(), colour.green(), colour.blue()}));
    });
  }
  other_->setCurrentColor(qColour(colours_->currentData().value<std::uint32_t>()));
  other_->open();
}

void FontDialog::showSample() {
  if (!sample_) return;
  const FontChoice c = choice();
  QFont font;
  font.setFamilies(familiesFor(QString::fromStdString(c.face)));
  font.setPixelSize(std::min(c.points * 4 / 3, kLargestSamplePixels));
  font.setBold(c.bold);
  font.setItalic(c.italic);
  font.setUnderline(c.underline);
  font.setStrikeOut(c.strikeOut);
  sample_->setFont(font);
  QPalette palette = sample_->palette();
  palette.setColor(QPalette::WindowText, qColour(c.colour));
  // A light colour (yellow, the titles' own) would vanish on white: it shows on grey.
  const forms::Rgb rgb = forms::rgbFromBgr(c.colour);
  const bool light = rgb.red * 299 + rgb.green * 587 + rgb.blue * 114 > 160000;
  palette.setColor(QPalette::Window, light ? QColor(96, 96, 96) : QColor(Qt::white));
  sample_->setPalette(palette);
}

}  // namespace zv
