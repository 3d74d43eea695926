#include <QAbstractButton>
#include <QLineEdit>

#include "forms/form.h"

namespace zv::forms {

namespace {

QWidget* makeWidget(const UnitDescription& d, QWidget* parent, const PictureResolver& pictures) {
  const QString caption = QString::fromStdString(d.caption);
  switch (d.kind) {
    case UnitKind::Label: {
      auto* label = new Label(parent);
      label->setText(caption);
      return label;
    }
    case UnitKind::TransparentLabel: {
      auto* label = new TransparentLabel(parent);
      label->setCaption(caption);
      return label;
    }
    case UnitKind::EditBox: {
      auto* edit = new EditBox(parent);
      edit->setText(caption);
      if (d.passwordEntry) edit->setPasswordEntry();
      return edit;
    }
    case UnitKind::CheckBox: {
      auto* box = new CheckBox(parent);
      box->setText(caption);
      return box;
    }
    case UnitKind::RadioButton: {
      auto* radio = new RadioButton(parent);
      radio->setText(caption);
      return radio;
    }
    case UnitKind::Button: {
      auto* button = new Button(parent);
      button->setText(caption);
      return button;
    }
    case UnitKind::GroupBox: {
      auto* group = new GroupBox(parent);
      group->setTitle(caption);
      return group;
    }
    case UnitKind::Shape:
      return new Shape(parent);
    case UnitKind::PictureBox: {
      auto* box = new PictureBox(parent);
      if (!d.picture.empty() && pictures) box->setPicture(PictureData(pictures(d.picture)));
      return box;
    }
    case UnitKind::Timer:
    case UnitKind::CommonDialog:
      break;
  }
  return nullptr;
}

void applyLook(const UnitDescription& d, QWidget* widget) {
  widget->setGeometry(d.left, d.top, d.width, d.height);
  if (d.font) {
    const UnitFont font = UnitFont::fromPixelHeight(QString::fromStdString(d.font->face),
                                                    d.font->pixelHeight, d.font->bold);
    if (auto* label = dynamic_cast<TransparentLabel*>(widget)) {
      label->setUnitFont(font);
    } else {
      widget->setFont(font.toQFont());
    }
  }
  if (d.colour) {
    if (auto* label = dynamic_cast<TransparentLabel*>(widget)) {
      label->setTextColour(*d.colour);
    } else {
      QPalette palette = widget->palette();
      palette.setColor(QPalette::Text, colourFromBgr(*d.colour));
      palette.setColor(QPalette::WindowText, colourFromBgr(*d.colour));
      widget->setPalette(palette);
    }
  }
  if (d.handCursor) widget->setCursor(Qt::PointingHandCursor);
  if (!d.enabled || d.disabledLook) widget->setEnabled(false);
  if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && d.readOnly) {
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
  }
  widget->setVisible(d.visible);
}

const Handler& handlerFor(const HandlerTable& handlers, const std::string& name,
                          const std::string& where) {
  const auto it = handlers.find(name);
  if (it == handlers.end() || !it->second) {
    throw std::logic_error("no handler \"" + name + "\" for " + where);
  }
  return it->second;
}

void buildMenu(Form& form, QMenu* menu, const std::vector<MenuItemDescription>& items,
               const HandlerTable& handlers, std::vector<MenuItem*>& all) {
  for (const MenuItemDescription& d : items) {
    if (d.separator) {
      menu->addSeparator();
      continue;
    }
    const QString caption = QString::fromStdString(d.caption);
    QMenu* submenu = d.items.empty() ? nullptr : new QMenu(menu);
    auto* item = new MenuItem(caption, submenu, &form);
    if (d.ticked) item->setTicked(true);
    menu->addAction(item->action());
    item->setHidden(d.hidden);
    all.push_back(item);
    if (submenu) {
      buildMenu(form, submenu, d.items, handlers, all);
    } else if (!d.handler.empty()) {
      const Handler handler = handlerFor(handlers, d.handler, "menu item " + d.caption);
      QObject::connect(item->action(), &QAction::triggered, &form,
                       [&form, handler] { handler(UnitEvent{.form = &form}); });
    }
  }
}

}  // namespace

std::unique_ptr<Form> buildForm(const WindowDescription& description, const HandlerTable& handlers,
                                const PictureResolver& pictures, QWidget* parent) {
  auto form = std::make_unique<Form>(parent);
  buildInto(*form, description, handlers, pictures);
  return form;
}

void buildInto(Form& f, const WindowDescription& description, const HandlerTable& handlers,
               const PictureResolver& pictures) {
  f.setWindowTitle(QString::fromStdString(description.caption));
  f.setGeometry(50, 50, description.width, description.height);
  f.setFont(UnitFont::fromPixelHeight("宋体", 12, false).toQFont());

  for (const EventBinding& binding : description.events) {
    f.bindings_[{"", binding.event}] = handlerFor(handlers, binding.handler, "the window");
  }

  for (const UnitDescription& d : description.units) {
    QWidget* container = &f;
    if (!d.parent.empty()) {
      container = dynamic_cast<QWidget*>(f.find(d.parent));
      if (!container) throw std::logic_error("unit \"" + d.name + "\" has no parent " + d.parent);
    }
    for (const EventBinding& binding : d.events) {
      f.bindings_[{d.name, binding.event}] = handlerFor(handlers, binding.handler, d.name);
    }
    if (d.kind == UnitKind::Timer) {
      auto* timer = new WindowTimer(&f);
      const std::string name = d.name;
      timer->onTick([&f, name] { f.dispatch(name, EventKind::Tick); });
      timer->setInterval(d.interval);
      f.addUnit(d.name, timer);
      continue;
    }
    if (d.kind == UnitKind::CommonDialog) {
      f.addUnit(d.name, new CommonDialog(&f));
      continue;
    }
    QWidget* widget = makeWidget(d, container, pictures);
    widget->setObjectName(QString::fromStdString(d.name));
    applyLook(d, widget);
    f.addUnit(d.name, widget);
    widget->installEventFilter(&f);
    if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
      const std::string name = d.name;
      QObject::connect(button, &QAbstractButton::clicked, &f,
                       [&f, name] { f.dispatch(name, EventKind::Click); });
    }
  }

  if (!description.popupMenu.empty()) {
    f.popup_ = new QMenu(&f);
    buildMenu(f, f.popup_, description.popupMenu, handlers, f.menuItems_);
  }
}

}  // namespace zv::forms
