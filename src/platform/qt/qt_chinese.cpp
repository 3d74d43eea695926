#include "platform/qt/qt_chinese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace zv {

namespace {

// What Qt's own translation leaves in English in the windows the program opens.
struct OwnText {
  const char* context;
  const char* source;
  const char* chinese;
};
constexpr OwnText kOwnTexts[] = {
    // The colour dialog's hexadecimal entry: "HTML" means nothing to an operator.
    {"QColorDialog", "&HTML:", "颜色代码(&H):"},
    // The file list's 类型 column. Qt 6 moved these to a context of their own that its
    // Chinese file does not have yet; older Qt kept them in the file dialog's.
    {"QAbstractFileIconProvider", "Folder", "文件夹"},
    {"QAbstractFileIconProvider", "File Folder", "文件夹"},
    {"QAbstractFileIconProvider", "Drive", "驱动器"},
    {"QAbstractFileIconProvider", "File", "文件"},
    {"QAbstractFileIconProvider", "Shortcut", "快捷方式"},
    {"QAbstractFileIconProvider", "Alias", "替身"},
    {"QAbstractFileIconProvider", "Unknown", "未知"},
};

class OwnTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* disambiguation,
                    int n) const override {
    Q_UNUSED(disambiguation);
    Q_UNUSED(n);
    if (!context || !source) return {};
    for (const OwnText& t : kOwnTexts) {
      if (std::strcmp(context, t.context) == 0 && std::strcmp(source, t.source) == 0)
        return QString::fromUtf8(t.chinese);
    }
    return {};  // the next translator, Qt's own, answers
  }
};

}  // namespace

bool useChineseForQtParts() {
  static bool done = false;
  static bool found = false;
  if (done) return found;
  done = true;
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  auto* app = QCoreApplication::instance();
  // One .qm file, mapped rather than read: about a millisecond.
  auto* qt = new QTranslator(app);
  const QString name = QStringLiteral("qtbase_zh_CN");
  found = qt->load(name, QCoreApplication::applicationDirPath() + QStringLiteral("/translations")) ||
          qt->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (found) {
    QCoreApplication::installTranslator(qt);
  } else {
    delete qt;
  }
  // Installed last, so asked first.
  QCoreApplication::installTranslator(new OwnTranslator(app));
  return found;
}

}  // namespace zv
