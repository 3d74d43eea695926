#include "dialogs/file_dialog_look.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace zv {

namespace {

// The file list's columns as Qt's file dialog lays them out.
constexpr int kSizeColumn = 1;
constexpr int kModifiedColumn = 3;

// Sizes and dates in the default locale (zh_CN) instead of the system's.
class LocalFileDetails : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::DisplayRole &&
        (index.column() == kSizeColumn || index.column() == kModifiedColumn)) {
      if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel())) {
        const QModelIndex source = mapToSource(index);
        if (index.column() == kModifiedColumn)
          return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        if (!files->isDir(source))
          return QLocale().formattedDataSize(files->size(source), 1,
                                             QLocale::DataSizeTraditionalFormat);
      }
    }
    return QIdentityProxyModel::data(index, role);
  }
};

}  // namespace

void dressFileDialog(QFileDialog& dialog, const QString& acceptLabel) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setProxyModel(new LocalFileDetails(&dialog));
  dialog.setLabelText(QFileDialog::LookIn, "查找范围：");
  dialog.setLabelText(QFileDialog::FileName, "文件名：");
  dialog.setLabelText(QFileDialog::FileType, "文件类型：");
  dialog.setLabelText(QFileDialog::Accept, acceptLabel);
  dialog.setLabelText(QFileDialog::Reject, "取消");
  // Wide enough for the whole modified date beside the names.
  dialog.resize(800, 480);
}

}  // namespace zv
