#pragma once
// The draw journal for the operator: the prize pictures with their tallies, every row of
// the journal newest first, and the export of a copy for the finance desk.
#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/picture_data.h"
#include "store/journal.h"

class QLabel;
class QPushButton;
class QTableView;

namespace zv {

// The rows newest first; each cell is formatted only when the view asks for it.
class JournalModel : public QAbstractTableModel {
 public:
  explicit JournalModel(std::vector<JournalRow> rows, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<JournalRow> rows_;  // file order
};

class JournalWindow : public QWidget {
 public:
  static constexpr const char* kTitle = "抽奖记录";
  static constexpr const char* kExportCaption = "导出…";
  static constexpr const char* kCloseCaption = "关闭";

  // tallies: the results file's eight tallies as text; exportDirectory: where the export's
  // file dialog starts.
  JournalWindow(const Journal& journal, std::array<std::string, kSlotCount> tallies,
                std::array<PictureData, kSlotCount> pictures, std::string exportDirectory,
                QWidget* parent = nullptr);

  // Asks where to save a copy of the journal and writes it; true when a copy was written.
  bool exportCopy();

  QTableView* table() const { return table_; }
  JournalModel* model() const { return model_; }
  QPushButton* exportButton() const { return exportButton_; }

  // The export's suggested file name for a day: 抽奖记录-2024-05-01.csv.
  static std::string exportFileName(std::chrono::system_clock::time_point day);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const Journal& journal_;
  std::string exportDirectory_;
  JournalContents contents_;  // its rows are handed to the model
  JournalModel* model_ = nullptr;
  QTableView* table_ = nullptr;
  QPushButton* exportButton_ = nullptr;
};

}  // namespace zv
