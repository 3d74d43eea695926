#include "dialogs/verifiable_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cmath>

#include "dialogs/message_boxes.h"
#include "platform/qr_code.h"
#include "platform/qt/qr_picture.h"

namespace zv {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Logical pixels the QR code may take: a camera at the back of the hall still reads it.
constexpr int kQrSide = 420;
constexpr int kCommitmentPixels = 56;
constexpr const char* kPublishQuestion =
    "确定结束可验证抽奖并公布密钥吗？\r\n\r\n密钥将写入抽奖记录，此后的抽奖不再可验证。";

const char* explanationFor(VerifiableSession::State state) {
  switch (state) {
    case VerifiableSession::State::None:
      return "生成一个只有本机知道的密钥，并显示它的承诺（SHA-256）。"
             "请在第一次抽奖之前把承诺投到大屏幕上，供观众拍照或打印。";
    case VerifiableSession::State::Committed:
      return "请把下面的承诺投到大屏幕上。可以请观众给出一个现场随机数（只含数字，可不填），"
             "然后开始可验证抽奖。";
    case VerifiableSession::State::On:
      return "可验证抽奖进行中：每次中奖都由密钥决定。活动结束后公布密钥，任何人都可以核对。";
  }
  return "";
}

}  // namespace

VerifiableWindow::VerifiableWindow(VerifiableSession& session, std::function<void()> changed,
                                   QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      session_(session),
      changed_(std::move(changed)) {
  setWindowTitle(QString::fromUtf8(kTitle));
  auto* layout = new QVBoxLayout(this);

  explanation_ = new QLabel;
  explanation_->setWordWrap(true);
  QFont explanationFont = explanation_->font();
  explanationFont.setPixelSize(20);
  explanation_->setFont(explanationFont);
  layout->addWidget(explanation_);

  auto* shown = new QHBoxLayout;
  commitment_ = new QLabel;
  commitment_->setObjectName(QString::fromUtf8(kCommitmentName));
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPixelSize(kCommitmentPixels);
  mono.setBold(true);
  commitment_->setFont(mono);
  commitment_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  commitment_->setAlignment(Qt::AlignCenter);
  shown->addWidget(commitment_, 1);
  qr_ = new QLabel;
  qr_->setObjectName(QString::fromUtf8(kQrName));
  qr_->setAlignment(Qt::AlignCenter);
  shown->addWidget(qr_);
  layout->addLayout(shown, 1);

  auto* audienceRow = new QHBoxLayout;
  audienceCaption_ = new QLabel(QString::fromUtf8(kAudienceLabel) + QStringLiteral("："));
  audienceCaption_->setFont(explanationFont);
  audience_ = new QLineEdit;
  audience_->setObjectName(QString::fromUtf8(kAudienceName));
  audience_->setFont(explanationFont);
  audience_->setMaxLength(static_cast<int>(verifiable_text::kMaxAudienceDigits));
  audience_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]*")), audience_));
  audienceShown_ = new QLabel;
  audienceShown_->setFont(explanationFont);
  audienceRow->addWidget(audienceCaption_);
  audienceRow->addWidget(audience_, 1);
  audienceRow->addWidget(audienceShown_, 1);
  layout->addLayout(audienceRow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  commit_ = new QPushButton(QString::fromUtf8(kCommitCaption));
  start_ = new QPushButton(QString::fromUtf8(kStartCaption));
  publish_ = new QPushButton(QString::fromUtf8(kPublishCaption));
  close_ = new QPushButton(QString::fromUtf8(kCloseCaption));
  for (QPushButton* button : {commit_, start_, publish_, close_}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  connect(commit_, &QPushButton::clicked, this, [this] { commit(); });
  connect(start_, &QPushButton::clicked, this, [this] { start(); });
  connect(publish_, &QPushButton::clicked, this, [this] { publish(); });
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  refresh();
  resize(1280, 720);
}

QString VerifiableWindow::groupedCommitment(const std::string& commitment) {
  QString text;
  for (std::size_t i = 0; i < commitment.size(); i += 4) {
    if (i != 0) text += i % 16 == 0 ? QStringLiteral("\n") : QStringLiteral(" ");
    text += qs(commitment.substr(i, 4));
  }
  return text;
}

void VerifiableWindow::refresh() {
  const VerifiableSession::State state = session_.state();
  explanation_->setText(QString::fromUtf8(explanationFor(state)));
  const auto& file = session_.current();
  commitment_->setText(file ? groupedCommitment(file->event.commitment) : QString());
  showQr();
  const bool committed = state == VerifiableSession::State::Committed;
  const bool on = state == VerifiableSession::State::On;
  commit_->setVisible(state == VerifiableSession::State::None);
  start_->setVisible(committed);
  publish_->setVisible(on);
  audienceCaption_->setVisible(committed || on);
  audience_->setVisible(committed);
  audienceShown_->setVisible(on);
  // The next step has the keyboard: Space takes it, Tab leads from the audience number
  // to the start. While the event runs that is closing the window: the operator's Space
  // is meant for the draw, never for ending the event.
  QWidget* next = on ? static_cast<QWidget*>(close_)
                     : committed ? static_cast<QWidget*>(audience_) : commit_;
  next->setFocus(Qt::OtherFocusReason);
  audienceShown_->setText(on && !file->event.audience.empty() ? qs(file->event.audience)
                                                              : QStringLiteral("（未填）"));
}

void VerifiableWindow::showQr() {
  const auto& file = session_.current();
  // Without a QR encoder in the build the digits alone are shown.
  const QrCode code =
      file && qrCodesAvailable() ? makeQrCode(file->event.commitment) : QrCode{};
  qr_->setVisible(!code.empty());
  if (code.empty()) {
    qr_->clear();
    return;
  }
  // Whole device pixels per module: a module that straddles pixels blurs under a camera.
  const qreal ratio = devicePixelRatioF();
  const int side = code.size + 2 * 4;
  const int perModule = std::max(1, static_cast<int>(std::floor(kQrSide * ratio / side)));
  QImage picture = qrPicture(code, perModule);
  picture.setDevicePixelRatio(ratio);
  qr_->setPixmap(QPixmap::fromImage(picture));
}

void VerifiableWindow::showEvent(QShowEvent* event) {
  // The screen (and its pixel ratio) is known once shown.
  showQr();
  QWidget::showEvent(event);
}

void VerifiableWindow::reportJournalNotWritten() {
  MessageBoxes::show("无法写入抽奖记录文件，可验证抽奖的状态没有改变。", kTitle,
                     MessageButtons::Ok, MessageIcon::Warning);
}

void VerifiableWindow::commit() {
  const VerifiableSession::Outcome outcome = session_.commit();
  if (outcome == VerifiableSession::Outcome::UnreadableFileInTheWay) {
    MessageBoxes::show("密钥文件 " + session_.secretPath() +
                           " 已存在，但读不出其中的密钥。请先查看或移走它，再生成承诺。",
                       kTitle, MessageButtons::Ok, MessageIcon::Warning);
  } else if (outcome != VerifiableSession::Outcome::Done) {
    MessageBoxes::show("无法写入密钥文件 " + session_.secretPath() + "，可验证抽奖没有开始。",
                       kTitle, MessageButtons::Ok, MessageIcon::Warning);
  }
  refresh();
  if (changed_) changed_();
}

void VerifiableWindow::start() {
  switch (session_.start(audience_->text().toStdString())) {
    case VerifiableSession::Outcome::Done:
      break;
    case VerifiableSession::Outcome::SecretNotWritten:
      MessageBoxes::show("无法写入密钥文件 " + session_.secretPath() + "，可验证抽奖没有开始。",
                         kTitle, MessageButtons::Ok, MessageIcon::Warning);
      break;
    case VerifiableSession::Outcome::RowNotWritten:
      reportJournalNotWritten();
      break;
    case VerifiableSession::Outcome::Refused:
    case VerifiableSession::Outcome::UnreadableFileInTheWay:
      MessageBoxes::show("现场随机数只能包含数字。", kTitle);
      break;
  }
  refresh();
  if (changed_) changed_();
}

void VerifiableWindow::publish() {
  if (!MessageBoxes::confirm(kPublishQuestion, kPublishCaption)) return;
  bool removed = true;
  if (session_.publish(&removed) == VerifiableSession::Outcome::RowNotWritten) {
    reportJournalNotWritten();
  } else if (!removed) {
    MessageBoxes::show("密钥已公布，但无法删除密钥文件 " + session_.secretPath() + "。", kTitle,
                       MessageButtons::Ok, MessageIcon::Warning);
  }
  refresh();
  if (changed_) changed_();
}

void VerifiableWindow::keyPressEvent(QKeyEvent* event) {
  // Esc closes it, as it closes every other window of the program.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace zv
