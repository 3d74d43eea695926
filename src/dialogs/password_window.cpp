#include "dialogs/password_window.h"

#include <QLineEdit>
#include <QTimer>

#include "dialogs/dialog_layouts.h"
#include "dialogs/input_boxes.h"
#include "dialogs/logic/password_scramble.h"
#include "dialogs/message_boxes.h"

namespace zv {

namespace h = handlers;

namespace {
constexpr const char* kEntry = "编辑框1";
}  // namespace

PasswordWindow::PasswordWindow(SettingsFile settings, RandomSource& random,
                               PrizeSettingsFactory prizeSettings)
    : settings_(std::move(settings)),
      random_(random),
      makePrizeSettings_(std::move(prizeSettings)) {
  forms::HandlerTable table;
  table[h::kPasswordCreated] = [](const forms::UnitEvent&) {};
  table[h::kEnterSettings] = [this](const forms::UnitEvent&) { enter(); };
  table[h::kChangePassword] = [this](const forms::UnitEvent&) { changePassword(); };
  form_ = forms::buildForm(passwordLayout(), table);
  form_->dispatch("", forms::EventKind::Created);
}

std::string PasswordWindow::entry() const {
  return form_->unit<QLineEdit>(kEntry)->text().toStdString();
}

// Read afresh at every press: a password changed in the file counts at once.
std::string PasswordWindow::storedPassword() const { return settings_.get(setting::kPassword); }

void PasswordWindow::enter() {
  if (!passwordMatches(entry(), storedPassword())) {
    MessageBoxes::show("密码不正确！请重新输入。");
    return;
  }
  prizeSettings_ = makePrizeSettings_();
  prizeSettings_->form().onClosed([this] {
    // Both windows close once the prize settings have; the gate's own close is queued
    // so that no window is taken down inside its own close event.
    QTimer::singleShot(0, form_.get(), [this] { form_->close(); });
  });
  prizeSettings_->form().showModal();
}

void PasswordWindow::changePassword() {
  const std::string stored = storedPassword();
  if (!passwordMatches(entry(), stored)) {
    MessageBoxes::show("请在密码框输入原始密码后再修改！");
    return;
  }
  // A cancelled input keeps the current password, stored again under a new salt.
  const std::string password = InputBoxes::ask("请输入密码", "请输入密码", "").value_or(entry());
  if (!settings_.set(setting::kPassword, passwordScramble(password, random_))) {
    MessageBoxes::reportWriteFailure(settings_.path());
    return;
  }
  if (password.empty()) {
    MessageBoxes::show("您没有设置任何密码！");
    return;
  }
  MessageBoxes::show("设置成功！请牢记您的密码！");
  form_->close();
}

}  // namespace zv
