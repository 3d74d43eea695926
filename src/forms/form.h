#pragma once
// A window built from its description: it owns its units, finds them by name and runs
// the handler bound to a unit's event.
#include <QImage>
#include <QMenu>
#include <QWidget>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "forms/units.h"
#include "forms/window_description.h"

namespace zv::forms {

class Form;

struct UnitEvent {
  Form* form = nullptr;
  std::string unit;        // empty: the window itself
  EventKind event{};       // set by dispatch, so one handler can serve several events
  QPoint globalPos;        // mouse events, in screen coordinates
  bool* accept = nullptr;  // close request: set to false to refuse it
};

using Handler = std::function<void(const UnitEvent&)>;

class Form : public QWidget {
 public:
  explicit Form(QWidget* parent = nullptr);

  // The unit of that name and kind; throws std::out_of_range when there is none.
  template <class T>
  T* unit(const std::string& name) const {
    T* found = dynamic_cast<T*>(find(name));
    if (!found) throw std::out_of_range("no unit \"" + name + "\" of the requested kind");
    return found;
  }
  QObject* find(const std::string& name) const;
  const std::vector<std::string>& unitNames() const { return order_; }

  // The popup menu item with that caption; throws std::out_of_range when there is none.
  MenuItem* menuItem(const QString& caption) const;
  const std::vector<MenuItem*>& menuItems() const { return menuItems_; }
  QMenu* popupMenu() const { return popup_; }

  // The window's background picture (JPEG bytes), drawn stretched over the window;
  // without one the window shows its stage colour.
  void setBackgroundPicture(std::string jpeg);
  const std::string& backgroundPicture() const { return background_; }
  void setStageColour(const QColor& colour);

  // Runs the handler bound to (unit, event); false when none is bound.
  bool dispatch(const std::string& unit, EventKind event, UnitEvent details = {});
  bool hasBinding(const std::string& unit, EventKind event) const;

  // Starts drawing the captions of the transparent labels that will show ahead, on a
  // thread of their own, for the window's first frame.
  void prepareCaptionsAhead();

  // Runs after the window has closed (a close request that was not refused).
  void onClosed(std::function<void()> closed) { closed_ = std::move(closed); }
  // Shows the window as an application-modal dialog centred on the screen; Esc closes it,
  // as it closes every dialog.
  void showModal();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend void buildInto(Form&, const WindowDescription&, const std::map<std::string, Handler>&,
                        const std::function<std::string(std::string_view)>&);
  void addUnit(const std::string& name, QObject* unit);

  std::map<std::string, QObject*> units_;
  std::map<const QObject*, std::string> names_;
  std::vector<std::string> order_;
  std::map<std::pair<std::string, EventKind>, Handler> bindings_;
  std::vector<MenuItem*> menuItems_;
  QMenu* popup_ = nullptr;
  std::string background_;
  QImage backgroundImage_;
  QSize backgroundFor_;
  QColor stageColour_;
  std::function<void()> closed_;
};

using HandlerTable = std::map<std::string, Handler>;

// The JPEG bytes of a picture that a description names by id; empty when it knows none.
// The product's artwork stays out of forms/: whoever builds a window supplies it.
using PictureResolver = std::function<std::string(std::string_view id)>;

// Builds the window; throws std::logic_error when the description binds an event to a
// handler the table lacks, names an unknown parent or repeats a unit name.
std::unique_ptr<Form> buildForm(const WindowDescription& description, const HandlerTable& handlers,
                                const PictureResolver& pictures = {}, QWidget* parent = nullptr);
// The same into a window made empty beforehand: for a window whose handlers need to
// know the window before it is built.
void buildInto(Form& form, const WindowDescription& description, const HandlerTable& handlers,
               const PictureResolver& pictures = {});

}  // namespace zv::forms
