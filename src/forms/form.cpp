#include "forms/form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "platform/qt/picture.h"
#include "platform/qt/remembered_decodes.h"
#include "platform/qt/screen.h"
#include "platform/qt/window_owner.h"

namespace zv::forms {

Form::Form(QWidget* parent) : QWidget(parent) {
  // paintEvent covers every pixel (picture or colour): Qt's own fill of the window first
  // would only be painted over, and on a full-HD stage it costs milliseconds at start.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QObject* Form::find(const std::string& name) const {
  const auto it = units_.find(name);
  return it == units_.end() ? nullptr : it->second;
}

void Form::addUnit(const std::string& name, QObject* unit) {
  if (!units_.emplace(name, unit).second) {
    throw std::logic_error("unit \"" + name + "\" appears twice");
  }
  names_[unit] = name;
  order_.push_back(name);
}

MenuItem* Form::menuItem(const QString& caption) const {
  for (MenuItem* item : menuItems_) {
    if (item->caption() == caption) return item;
  }
  throw std::out_of_range("no menu item \"" + caption.toStdString() + "\"");
}

void Form::setBackgroundPicture(std::string jpeg) {
  background_ = std::move(jpeg);
  backgroundFor_ = QSize();
  update();
}

void Form::setStageColour(const QColor& colour) {
  stageColour_ = colour;
  update();
}

bool Form::hasBinding(const std::string& unit, EventKind event) const {
  return bindings_.count({unit, event}) != 0;
}

bool Form::dispatch(const std::string& unit, EventKind event, UnitEvent details) {
  const auto it = bindings_.find({unit, event});
  if (it == bindings_.end()) return false;
  details.form = this;
  details.unit = unit;
  details.event = event;
  // A copy: the handler may rebind or destroy what it was called from.
  const Handler handler = it->second;
  handler(details);
  return true;
}

void Form::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    dispatch("", EventKind::RightButtonDown,
             UnitEvent{.globalPos = event->globalPosition().toPoint()});
  }
  QWidget::mousePressEvent(event);
}

void Form::closeEvent(QCloseEvent* event) {
  bool accept = true;
  dispatch("", EventKind::CloseRequest, UnitEvent{.accept = &accept});
  if (accept) {
    event->accept();
    if (closed_) closed_();
  } else {
    event->ignore();
  }
}

void Form::keyPressEvent(QKeyEvent* event) {
  // The stage is no dialog: Esc there belongs to the draw's keys.
  if (windowModality() != Qt::NonModal && event->key() == Qt::Key_Escape &&
      event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Form::showModal() {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  keepAboveOwner(*this);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  activateWindow();
}

void Form::prepareCaptionsAhead() {
  std::vector<TransparentLabel*> labels;
  std::vector<CaptionLook> looks;
  for (const std::string& name : order_) {
    auto* label = dynamic_cast<TransparentLabel*>(units_.at(name));
    if (!label || !label->isVisibleTo(this) || label->caption().isEmpty()) continue;
    const CaptionLook look = label->look();
    if (!PreparedCaptions::drawnAlike(look)) continue;
    labels.push_back(label);
    looks.push_back(look);
  }
  if (labels.empty()) return;
  const auto prepared = std::make_shared<PreparedCaptions>(std::move(looks));
  for (TransparentLabel* label : labels) label->usePrepared(prepared);
}

void Form::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (const QSize device = devicePixelSize(this, size()); backgroundFor_ != device) {
    // Decoded again only when the picture or the window's size (or its screen's scale)
    // changed; a full-screen photograph comes from the last start's decode.
    backgroundImage_ = decodePictureRemembered(background_, device);
    backgroundFor_ = device;
  }
  if (!backgroundImage_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), backgroundImage_);
  } else if (stageColour_.isValid()) {
    painter.fillRect(rect(), stageColour_);
  } else {
    painter.fillRect(rect(), palette().window());
  }
}

bool Form::eventFilter(QObject* watched, QEvent* event) {
  const auto it = names_.find(watched);
  if (it == names_.end()) return QWidget::eventFilter(watched, event);
  const std::string name = it->second;  // the handler may change the map
  if (event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const UnitEvent details{.globalPos = mouse->globalPosition().toPoint()};
    if (mouse->button() == Qt::LeftButton) dispatch(name, EventKind::LeftButtonDown, details);
    if (mouse->button() == Qt::RightButton) dispatch(name, EventKind::RightButtonDown, details);
  } else if (event->type() == QEvent::MouseMove) {
    // Without mouse tracking a unit sees moves only while a button is held; the press
    // made it the mouse's receiver until the release.
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->buttons() & Qt::LeftButton) {
      dispatch(name, EventKind::LeftButtonMove,
               UnitEvent{.globalPos = mouse->globalPosition().toPoint()});
    }
  } else if (event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      dispatch(name, EventKind::LeftButtonUp,
               UnitEvent{.globalPos = mouse->globalPosition().toPoint()});
    }
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      dispatch(name, EventKind::DoubleClick,
               UnitEvent{.globalPos = mouse->globalPosition().toPoint()});
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zv::forms
