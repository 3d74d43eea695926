// Qt's own parts of the program's windows read Chinese: the file dialog as the program
// dresses it, the colour dialog behind 其他颜色… and a text box's context menu.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <memory>
#include <set>

#include "dialogs/file_dialog_look.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

// Words that may stay Latin, and why.
const std::set<QString> kAllowed = {
    "kB", "KB", "MB", "GB", "TB",  // size units, written so in Chinese too
    "JPEG", "PNG", "BMP", "CSV",   // format names, read so in Chinese too
    "Ctrl", "Shift", "Del", "Ins", "Backspace", "Delete",  // key caps in shortcuts
};

// The Latin words of the texts, once file patterns and mnemonics are taken out.
QStringList latinWords(const QStringList& texts) {
  static const QRegularExpression pattern(R"(\*\.[A-Za-z0-9]+)");
  static const QRegularExpression word("[A-Za-z]{2,}");
  QStringList found;
  for (QString text : texts) {
    text.remove(pattern);
    text = text.section('\t', 0, 0);  // a menu item's shortcut
    for (auto it = word.globalMatch(text); it.hasNext();) {
      const QString w = it.next().captured();
      if (!kAllowed.count(w)) found << w + " (in \"" + text + "\")";
    }
  }
  return found;
}

// What a person reads in a window: labels, buttons, list and header texts, tips, actions.
// The texts of entry boxes (paths, file names, colour values) are their own.
QStringList visibleTexts(QWidget* window, const std::set<QString>& fileNames = {}) {
  QStringList texts{window->windowTitle()};
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    texts << w->toolTip();
    for (QAction* a : w->actions()) texts << a->text() << a->toolTip();
    if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
    if (auto* header = qobject_cast<QHeaderView*>(w)) {
      for (int s = 0; s < header->count(); ++s)
        texts << header->model()->headerData(s, header->orientation()).toString();
    }
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
      for (int i = 0; i < combo->count(); ++i) {
        const QString item = combo->itemText(i);
        if (!QDir::isAbsolutePath(item)) texts << item;  // a folder's path
      }
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
      const QAbstractItemModel* model = view->model();
      const QModelIndex root = view->rootIndex();
      for (int r = 0; r < model->rowCount(root); ++r) {
        for (int c = 0; c < model->columnCount(root); ++c) {
          const QString item = model->index(r, c, root).data().toString();
          if (!fileNames.count(item)) texts << item;
        }
      }
    }
  }
  return texts;
}

TEST(QtPartsInChinese, TheFileDialog) {
  testing::TempDir dir;
  ASSERT_TRUE(writeWholeFileAtomically(dir.file("1.jpg"), std::string(3000, 'x')));
  std::filesystem::create_directory(testing::TempDir::native(dir.file("音乐")));
  QFileDialog dialog;
  dialog.setWindowTitle("打开");
  dressFileDialog(dialog, "打开");
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters({"图形文件(*.jpg) (*.jpg *.jpeg)"});
  dialog.setViewMode(QFileDialog::Detail);
  dialog.setDirectory(QString::fromStdString(dir.path()));
  dialog.show();
  // The folder is read on a thread of its own.
  auto* list = dialog.findChild<QAbstractItemView*>("treeView");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) == 2; }));
  const std::set<QString> names{"1.jpg", "音乐", QDir::home().dirName()};
  const QStringList texts = visibleTexts(&dialog, names);
  EXPECT_TRUE(latinWords(texts).isEmpty()) << latinWords(texts).join("; ").toStdString();
  // The modified dates, in Chinese numerals order rather than "12/9/26 6:30 PM".
  for (int r = 0; r < 2; ++r) {
    const QString modified = list->model()->index(r, 3, list->rootIndex()).data().toString();
    EXPECT_FALSE(modified.contains("AM") || modified.contains("PM")) << modified.toStdString();
    EXPECT_FALSE(modified.isEmpty());
  }
}

TEST(QtPartsInChinese, TheColourDialog) {
  QColorDialog dialog;
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  dialog.setWindowTitle("颜色");
  dialog.show();
  const QStringList texts = visibleTexts(&dialog);
  EXPECT_GT(texts.size(), 15);  // the dialog's labels and buttons were found
  EXPECT_TRUE(latinWords(texts).isEmpty()) << latinWords(texts).join("; ").toStdString();
}

TEST(QtPartsInChinese, ATextBoxContextMenu) {
  QLineEdit box("抽奖");
  box.show();
  box.selectAll();
  std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
  QStringList texts;
  for (QAction* a : menu->actions()) texts << a->text();
  EXPECT_GE(texts.size(), 7);
  EXPECT_TRUE(latinWords(texts).isEmpty()) << latinWords(texts).join("; ").toStdString();
}

}  // namespace
}  // namespace zv
