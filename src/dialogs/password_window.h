#pragma once
// The gate in front of the prize settings, and the place to change the password.
#include <functional>
#include <memory>

#include "dialogs/prize_settings_window.h"
#include "draw/random_source.h"
#include "forms/form.h"
#include "store/settings_file.h"

namespace zv {

class PasswordWindow {
 public:
  using PrizeSettingsFactory = std::function<std::unique_ptr<PrizeSettingsWindow>()>;

  PasswordWindow(SettingsFile settings, RandomSource& random, PrizeSettingsFactory prizeSettings);
  forms::Form& form() { return *form_; }
  // The prize settings opened through the gate, while open.
  PrizeSettingsWindow* prizeSettings() const { return prizeSettings_.get(); }

 private:
  std::string entry() const;
  std::string storedPassword() const;
  void enter();
  void changePassword();

  SettingsFile settings_;
  RandomSource& random_;
  PrizeSettingsFactory makePrizeSettings_;
  std::unique_ptr<forms::Form> form_;
  std::unique_ptr<PrizeSettingsWindow> prizeSettings_;
};

}  // namespace zv
