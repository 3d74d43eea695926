#include "dialogs/journal_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <ctime>
#include <filesystem>

#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/qt/picture.h"

namespace zv {

namespace {

constexpr const char* kExportTitle = "导出抽奖记录";
constexpr const char* kExportFilter = "CSV 文件 (*.csv)";
const QSize kThumbnail(106, 65);  // the stage's prize box

QString qs(const std::string& text) { return QString::fromStdString(text); }

bool samePath(const std::string& a, const std::string& b) {
  std::error_code ea, eb;
  const auto ca = std::filesystem::weakly_canonical(a, ea);
  const auto cb = std::filesystem::weakly_canonical(b, eb);
  return !ea && !eb && ca == cb;
}

}  // namespace

JournalModel::JournalModel(std::vector<JournalRow> rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)) {}

int JournalModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int JournalModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(journalHeadings().size());
}

QVariant JournalModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const JournalRow& row = rows_[rows_.size() - 1 - static_cast<std::size_t>(index.row())];
  return qs(journalField(row, static_cast<std::size_t>(index.column())));
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return qs(journalHeadings().at(static_cast<std::size_t>(section)));
}

std::string JournalWindow::exportFileName(std::chrono::system_clock::time_point day) {
  const std::time_t t = std::chrono::system_clock::to_time_t(day);
  const LocalTime local = localTime(t);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &local.fields);
  return std::string("抽奖记录-") + date + ".csv";
}

JournalWindow::JournalWindow(const Journal& journal, std::array<std::string, kSlotCount> tallies,
                             std::array<PictureData, kSlotCount> pictures, std::string exportDirectory,
                             QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      journal_(journal),
      exportDirectory_(std::move(exportDirectory)),
      contents_(journal.read()) {
  setWindowTitle(kTitle);
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(this);

  // The prizes as the stage shows them, each with its tally now.
  auto* prizes = new QHBoxLayout;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    auto* cell = new QVBoxLayout;
    auto* picture = new QLabel;
    picture->setFixedSize(kThumbnail);
    picture->setFrameShape(QFrame::Box);
    picture->setAlignment(Qt::AlignCenter);
    const QImage image = decodePicture(pictures[slot - 1].view(), kThumbnail);
    if (!image.isNull()) {
      picture->setPixmap(QPixmap::fromImage(image.scaled(kThumbnail, Qt::IgnoreAspectRatio,
                                                         Qt::SmoothTransformation)));
    }
    auto* caption = new QLabel(qs("奖项" + std::to_string(slot) + "：" + tallies[slot - 1]));
    caption->setObjectName(qs("中奖数" + std::to_string(slot)));
    caption->setAlignment(Qt::AlignCenter);
    cell->addWidget(picture);
    cell->addWidget(caption);
    prizes->addLayout(cell);
  }
  layout->addLayout(prizes);

  model_ = new JournalModel(std::move(contents_.rows), this);
  table_ = new QTableView;
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  // Fixed row heights and no fitting to contents: the view then touches only the rows on
  // screen, whatever the journal's length.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table_->setColumnWidth(1, 190);
  layout->addWidget(table_, 1);

  auto* buttons = new QHBoxLayout;
  std::string summary = "共 " + std::to_string(model_->rowCount()) + " 条记录";
  if (contents_.skipped) summary += "（" + std::to_string(contents_.skipped) + " 行不完整，已略过）";
  buttons->addWidget(new QLabel(qs(summary)));
  buttons->addStretch(1);
  exportButton_ = new QPushButton(kExportCaption);
  auto* close = new QPushButton(kCloseCaption);
  buttons->addWidget(exportButton_);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(exportButton_, &QPushButton::clicked, this, [this] { exportCopy(); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  resize(1000, 600);
}

void JournalWindow::keyPressEvent(QKeyEvent* event) {
  // Esc closes it, as it closes every other window of the program.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool JournalWindow::exportCopy() {
  const std::string suggested =
      exportDirectory_ + "/" + exportFileName(std::chrono::system_clock::now());
  const std::optional<std::string> target =
      FilePicker::saveFile(kExportTitle, suggested, kExportFilter);
  if (!target) return false;
  if (samePath(*target, journal_.path())) {
    // The journal itself is only ever appended to.
    MessageBoxes::show("不能导出到抽奖记录文件本身，请另选文件名。", MessageBoxes::kDefaultTitle,
                       MessageButtons::Ok, MessageIcon::Warning);
    return false;
  }
  // The rows as they are now, intact ones only; a torn last line is not handed on.
  const JournalContents now = journal_.read();
  if (!writeWholeFileAtomically(*target, journalFileBytes(now.rows))) {
    MessageBoxes::reportWriteFailure(*target);
    return false;
  }
  MessageBoxes::show("已导出 " + std::to_string(now.rows.size()) + " 条抽奖记录到 " + *target,
                     MessageBoxes::kDefaultTitle, MessageButtons::Ok, MessageIcon::Information);
  return true;
}

}  // namespace zv
