#pragma once
// The verifiable event's window, made to be shown on the projector: the commitment large,
// in sixteen groups of four, beside its QR code; the audience number; the buttons that
// commit, start and end the event. Every change goes through the session; a failure is
// reported and leaves things as they were.
#include <QWidget>
#include <functional>

#include "draw/verifiable_session.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zv {

class VerifiableWindow : public QWidget {
 public:
  static constexpr const char* kTitle = "可验证抽奖";
  static constexpr const char* kCommitCaption = "生成承诺";
  static constexpr const char* kStartCaption = "开始可验证抽奖";
  static constexpr const char* kPublishCaption = "结束并公布密钥";
  static constexpr const char* kCloseCaption = "关闭";
  static constexpr const char* kAudienceLabel = "现场随机数";
  // Object names, for tests and the end-to-end scripts.
  static constexpr const char* kCommitmentName = "承诺";
  static constexpr const char* kQrName = "承诺二维码";
  static constexpr const char* kAudienceName = "现场随机数";

  // changed: after every change of the session's state.
  VerifiableWindow(VerifiableSession& session, std::function<void()> changed,
                   QWidget* parent = nullptr);

  // The commitment as shown: sixteen groups of four, four groups a line.
  static QString groupedCommitment(const std::string& commitment);

  void commit();
  void start();
  void publish();

  QPushButton* commitButton() const { return commit_; }
  QPushButton* startButton() const { return start_; }
  QPushButton* publishButton() const { return publish_; }
  QLineEdit* audienceEdit() const { return audience_; }
  QLabel* commitmentLabel() const { return commitment_; }
  QLabel* qrLabel() const { return qr_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void refresh();
  void showQr();
  void reportJournalNotWritten();

  VerifiableSession& session_;
  std::function<void()> changed_;
  QLabel* explanation_ = nullptr;
  QLabel* commitment_ = nullptr;
  QLabel* qr_ = nullptr;
  QLabel* audienceCaption_ = nullptr;
  QLineEdit* audience_ = nullptr;
  QLabel* audienceShown_ = nullptr;
  QPushButton* commit_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* publish_ = nullptr;
  QPushButton* close_ = nullptr;  // has the keyboard while the event runs
};

}  // namespace zv
