// The stage: wheel, titles, result picture, the hidden other-settings panel, the timers
// and the popup menu.
#include "draw/draw_cycle.h"
#include "layout/handler_names.h"
#include "layout/logic/wheel_geometry.h"
#include "layout/window_layouts.h"
#include "resources/artwork.h"

namespace zv {

using forms::EventKind;
using forms::FontDescription;
using forms::MenuItemDescription;
using forms::UnitDescription;
using forms::UnitKind;
using forms::WindowDescription;
namespace h = handlers;

namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kYellow = 0x00FFFF;

const forms::EventBinding kPopupBinding{EventKind::RightButtonDown, h::kPopup};

// A unit dragged with the left button: the handler follows the press, the moves and the
// release.
std::vector<forms::EventBinding> dragged(const char* handler, bool popup = true) {
  std::vector<forms::EventBinding> events = {{EventKind::LeftButtonDown, handler},
                                             {EventKind::LeftButtonMove, handler},
                                             {EventKind::LeftButtonUp, handler}};
  if (popup) events.push_back(kPopupBinding);
  return events;
}

UnitDescription prizePicture(int slot, int left, int top, bool builtin) {
  return {.name = units::prizeBox(slot),
          .kind = UnitKind::PictureBox,
          .parent = units::kWheelBackground,
          .left = left,
          .top = top,
          .width = layout_wheel::kPrizeWidth,
          .height = layout_wheel::kPrizeHeight,
          .handCursor = true,
          .picture = builtin ? pictures::builtinPrize(slot) : std::string(),
          .events = {{EventKind::DoubleClick, h::kChangePrizePicture}, kPopupBinding}};
}

UnitDescription drawLabel(const char* name, const char* caption, bool visible,
                          const char* handler) {
  return {.name = name,
          .kind = UnitKind::TransparentLabel,
          .parent = units::kWheelBackground,
          .left = layout_wheel::kDrawLabel.left,
          .top = layout_wheel::kDrawLabel.top,
          .width = layout_wheel::kDrawLabel.width,
          .height = layout_wheel::kDrawLabel.height,
          .caption = caption,
          .font = FontDescription{"隶书", 40, false},
          .colour = kRed,
          .visible = visible,
          .handCursor = true,
          .events = {{EventKind::LeftButtonDown, handler}, kPopupBinding}};
}

UnitDescription panelLabel(const char* name, int left, int top, int width, int height,
                           const char* caption) {
  return {.name = name,
          .kind = UnitKind::Label,
          .parent = "分组框1",
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .caption = caption};
}

UnitDescription panelEdit(const char* name, int left, int top, int width, int height,
                          const char* text) {
  return {.name = name,
          .kind = UnitKind::EditBox,
          .parent = "分组框1",
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .caption = text};
}

UnitDescription timer(const char* name, const char* parent, int interval, const char* handler) {
  return {.name = name,
          .kind = UnitKind::Timer,
          .parent = parent,
          .interval = interval,
          .events = {{EventKind::Tick, handler}}};
}

MenuItemDescription item(const char* caption, const char* handler, bool ticked = false) {
  return {.caption = caption, .ticked = ticked, .handler = handler};
}

MenuItemDescription submenu(const char* caption, std::vector<MenuItemDescription> items) {
  return {.caption = caption, .items = std::move(items)};
}

MenuItemDescription separator() { return {.separator = true}; }

// One item per show effect, ticked from its setting at start-up.
static_assert(std::size(h::kMenuShowEffects) == menu::kShowEffectCount);
std::vector<MenuItemDescription> showEffectItems() {
  std::vector<MenuItemDescription> items;
  for (int i = 0; i < menu::kShowEffectCount; ++i) {
    items.push_back(item(menu::kShowEffectItems[i], h::kMenuShowEffects[i]));
  }
  return items;
}

// One item per wheel style, the first ticked until the stored style is applied.
std::vector<MenuItemDescription> styleItems() {
  std::vector<MenuItemDescription> items;
  for (int style = 1; style <= kWheelStyleCount; ++style) {
    items.push_back(item(menu::kStyles[style - 1], h::kMenuStyles[style - 1], style == 1));
  }
  return items;
}

WindowDescription build() {
  WindowDescription w;
  w.caption = "Zorvane软件V1.9";
  w.width = 778;
  w.height = 677;
  w.events = {{EventKind::Created, h::kMainCreated},
              {EventKind::CloseRequest, h::kMainCloseRequest},
              kPopupBinding};

  // The wheel.
  w.units.push_back({.name = units::kWheel,
                     .kind = UnitKind::Shape,
                     .left = 75,
                     .top = 160,
                     .width = layout_wheel::kSide,
                     .height = layout_wheel::kSide,
                     .events = dragged(h::kDragWheel)});
  w.units.push_back(
      {.name = units::kWheelBackground,
       .kind = UnitKind::PictureBox,
       .parent = units::kWheel,
       .left = 0,
       .top = 0,
       .width = layout_wheel::kSide,
       .height = layout_wheel::kSide,
       .events = dragged(h::kDragWheelBackground)});
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto& [left, top] = layout_wheel::kPrizeCorners[static_cast<std::size_t>(slot - 1)];
    w.units.push_back(prizePicture(slot, left, top, hasBuiltinPrizePicture(slot)));
  }
  w.units.push_back(drawLabel(units::kStartLabel, DrawCycle::kReadyCaption, true, h::kStartDraw));
  w.units.push_back(drawLabel(units::kStopLabel, DrawCycle::kRollingCaption, false, h::kStopDraw));
  w.units.push_back({.name = units::kDrawButton,
                     .kind = UnitKind::Button,
                     .parent = units::kWheel,
                     .left = 80,
                     .top = 616,
                     .width = 40,
                     .height = 32,
                     .caption = DrawCycle::kReadyCaption,
                     .visible = false,
                     .events = {{EventKind::Click, h::kDrawButton}}});
  w.units.push_back(timer(units::kFocusTimer, units::kWheel, units::kFocusPeriod, h::kFocusDrawButton));
  w.units.push_back(
      {.name = units::kFileDialog, .kind = UnitKind::CommonDialog, .parent = units::kWheel});

  // The stage.
  w.units.push_back({.name = units::kMainTitle,
                     .kind = UnitKind::TransparentLabel,
                     .left = 8,
                     .top = 15,
                     .width = 632,
                     .height = 110,
                     .caption = "某某大卖场购物有奖活动",
                     .font = FontDescription{"宋体", 67, true},
                     .colour = kYellow,
                     .events = dragged(h::kDragMainTitle)});
  w.units.push_back({.name = units::kSubtitle,
                     .kind = UnitKind::TransparentLabel,
                     .left = 8,
                     .top = 104,
                     .width = 632,
                     .height = 70,
                     .caption = "--- 现场抽奖仪式 ---",
                     .font = FontDescription{"宋体", 40, true},
                     .colour = kYellow,
                     .events = dragged(h::kDragSubtitle)});
  w.units.push_back({.name = units::kResultPicture,
                     .kind = UnitKind::PictureBox,
                     .left = 20,
                     .top = 440,
                     .width = 200,
                     .height = 160,
                     .visible = false,
                     .events = dragged(h::kDragResult)});
  w.units.push_back({.name = units::kHotKeyLabel,
                     .kind = UnitKind::Label,
                     .left = 688,
                     .top = 80,
                     .width = 56,
                     .height = 32,
                     .visible = false,
                     .events = {{EventKind::HotKey, h::kShowDesignatedMarker}, kPopupBinding}});
  w.units.push_back({.name = units::kDesignatedMarker,
                     .kind = UnitKind::TransparentLabel,
                     .left = 632,
                     .top = 136,
                     .width = 64,
                     .height = 48,
                     .visible = false});
  // The credit line, moved to the lower right and hidden at start-up.
  w.units.push_back({.name = units::kCredit,
                     .kind = UnitKind::TransparentLabel,
                     .left = 8,
                     .top = 620,
                     .width = 280,
                     .height = 24,
                     .visible = false});
  w.units.push_back(timer(units::kRollTimer, "", 0, h::kRollStep));
  w.units.push_back(timer(units::kAutoStopTimer, "", 0, h::kAutoStop));
  w.units.push_back({.name = units::kFontDialog, .kind = UnitKind::CommonDialog});

  // The other-settings panel.
  w.units.push_back({.name = units::kPanel,
                     .kind = UnitKind::Shape,
                     .left = 8,
                     .top = 112,
                     .width = 272,
                     .height = 200,
                     .visible = false,
                     .events = dragged(h::kDragPanel, false)});
  w.units.push_back({.name = "图片框9",
                     .kind = UnitKind::PictureBox,
                     .parent = units::kPanel,
                     .left = 4,
                     .top = 3,
                     .width = 16,
                     .height = 16,
                     .picture = pictures::kPanelIcon});
  w.units.push_back({.name = "透明标签1",
                     .kind = UnitKind::TransparentLabel,
                     .parent = units::kPanel,
                     .left = 6,
                     .top = -1,
                     .width = 69,
                     .height = 24,
                     .caption = "● 奖项设置"});
  w.units.push_back({.name = "标签8",
                     .kind = UnitKind::Label,
                     .parent = units::kPanel,
                     .left = 245,
                     .top = 3,
                     .width = 20,
                     .height = 17,
                     .caption = "メ",
                     .font = FontDescription{"宋体", 12, true},
                     .events = {{EventKind::LeftButtonDown, h::kClosePanel}}});
  w.units.push_back({.name = "分组框1",
                     .kind = UnitKind::GroupBox,
                     .parent = units::kPanel,
                     .left = 2,
                     .top = 20,
                     .width = 270,
                     .height = 180});
  w.units.push_back(panelLabel("标签6", 9, 15, 168, 20, "奖品图片框大小(像素：宽x高)："));
  w.units.push_back(panelEdit(units::kResultWidthEdit, 181, 16, 28, 25, "200"));
  w.units.push_back(panelLabel("标签7", 212, 18, 13, 18, "×"));
  w.units.push_back(panelEdit(units::kResultHeightEdit, 229, 16, 28, 25, "160"));
  w.units.push_back(panelLabel("标签9", 8, 42, 177, 20, "设置抽奖滚动速度(默认30毫秒):"));
  w.units.push_back(panelEdit(units::kRollIntervalEdit, 180, 42, 53, 23, "30"));
  w.units.push_back({.name = units::kEffectsOffBox,
                     .kind = UnitKind::CheckBox,
                     .parent = "分组框1",
                     .left = 8,
                     .top = 69,
                     .width = 254,
                     .height = 16,
                     .caption = "禁用特效(中奖后有3种烟花效果随机播放)"});
  w.units.push_back(panelEdit(units::kAutoStopEdit, 8, 94, 36, 18, "0"));
  w.units.push_back(panelLabel("标签1", 48, 89, 214, 24, "秒后自动停止滚动(默认0，需手动停止)"));
  w.units.push_back(panelEdit(units::kWheelSizeEdit, 8, 116, 36, 18, "0"));
  UnitDescription sizeLabel =
      panelLabel("标签2", 48, 112, 214, 24, "转盘大小(默认为0,可填0-4逐渐变大)");
  sizeLabel.events = {kPopupBinding};
  w.units.push_back(sizeLabel);
  w.units.push_back({.name = "按钮_保存",
                     .kind = UnitKind::Button,
                     .parent = "分组框1",
                     .left = 60,
                     .top = 144,
                     .width = 128,
                     .height = 32,
                     .caption = "保存",
                     .font = FontDescription{"宋体", 14, false},
                     .events = {{EventKind::Click, h::kSavePanel}}});

  w.popupMenu = {
      item("奖项设置", h::kMenuPrizeSettings),
      item("其它设置", h::kMenuOtherSettings),
      {.caption = "转盘放大", .hidden = true, .handler = h::kMenuEnlarge},
      item("主标题", h::kMenuMainTitle),
      item("副标题", h::kMenuSubtitle),
      item("中奖结果", h::kMenuResults),
      submenu("转盘样式", styleItems()),
      submenu("字体颜色设置", {item("主标题字体", h::kMenuMainTitleFont),
                               item("副标题字体", h::kMenuSubtitleFont)}),
      submenu("背景图控制", {item("更换背景图", h::kMenuChangeBackground),
                             item("取消背景图", h::kMenuRemoveBackground)}),
      submenu("背景音乐控制",
              {item("更换背景音乐", h::kMenuChangeMusic), item(menu::kMusicOn, h::kMenuMusicOn),
               item(menu::kMusicOff, h::kMenuMusicOff)}),
      submenu("界面大小", {item(menu::kFullScreen, h::kMenuFullScreen),
                           item(menu::kWindowed, h::kMenuWindowed),
                           // Beyond the original, after its items: the screens of today.
                           separator(), item(menu::kFitToScreen, h::kMenuFitToScreen, true),
                           // Filled with the connected monitors each time it opens.
                           submenu(menu::kMonitors, {separator()})}),
      // Beyond the original: a group of its own, so the items above and below keep
      // their order.
      separator(),
      submenu(menu::kShowEffects, showEffectItems()),
      item(menu::kJournal, h::kMenuJournal),
      item(menu::kVerifiable, h::kMenuVerifiable),
      item(menu::kVoidLastWin, h::kMenuVoidLastWin),
      item(menu::kRehearsal, h::kMenuRehearsal),
      item(menu::kOpenEventFolder, h::kMenuOpenEventFolder),
      separator(),
      item("帮助", h::kMenuHelp),
      item("关于", h::kMenuAbout),
      item("退出", h::kMenuExit),
  };
  return w;
}

}  // namespace

std::string pictures::builtinPrize(int slot) { return "prize" + std::to_string(slot); }

std::string stagePicture(std::string_view id) {
  if (id == pictures::kPanelIcon) return std::string(artwork::panelIcon());
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (id == pictures::builtinPrize(slot)) return std::string(artwork::builtinPrizePicture(slot));
  }
  return {};
}

const WindowDescription& mainWindowLayout() {
  static const WindowDescription layout = build();
  return layout;
}

}  // namespace zv
