#pragma once
// The stage window as data: its units, menu and the names code refers to.
#include "forms/unit_names.h"
#include "forms/window_description.h"
#include "store/prize_slots.h"
#include "store/wheel_styles.h"

namespace zv {

const forms::WindowDescription& mainWindowLayout();

// Unit names that code refers to.
namespace units {
inline constexpr const char* kWheel = "外形框1";
inline constexpr const char* kWheelBackground = "图片框_背景";
inline constexpr const char* kStartLabel = "透明标签_开始";
inline constexpr const char* kStopLabel = "透明标签_结束";
inline constexpr const char* kDrawButton = "按钮1";
inline constexpr const char* kFocusTimer = "时钟2";
inline constexpr int kFocusPeriod = 200;  // ms: how often the hidden draw button takes the focus back
inline constexpr const char* kMainTitle = "透明标签_主标题";
inline constexpr const char* kSubtitle = "透明标签_副标题";
inline constexpr const char* kResultPicture = "图片框a_结果";
inline constexpr const char* kHotKeyLabel = "标签_zd";
inline constexpr const char* kDesignatedMarker = "透明标签_zd";
inline constexpr const char* kRollTimer = "时钟1";
inline constexpr const char* kAutoStopTimer = "时钟3_自动停止";
inline constexpr const char* kFontDialog = "通用对话框_字体设置";
inline constexpr const char* kFileDialog = "通用对话框1";
inline constexpr const char* kCredit = "透明标签2";
inline constexpr const char* kPanel = "外形框2";
inline constexpr const char* kResultWidthEdit = "编辑框_奖品图片宽";
inline constexpr const char* kResultHeightEdit = "编辑框_奖品图片高";
inline constexpr const char* kRollIntervalEdit = "编辑框_滚动速度";
inline constexpr const char* kEffectsOffBox = "选择框_禁用特效";
inline constexpr const char* kAutoStopEdit = "编辑框_自动停止";
inline constexpr const char* kWheelSizeEdit = "编辑框_转盘大小";
// The prize picture of slot 1..kSlotCount.
inline std::string prizeBox(int slot) { return forms::pictureBoxName(slot); }
}  // namespace units

// Built-in pictures that the stage layout names, and the resolver that builds them.
namespace pictures {
inline constexpr const char* kPanelIcon = "panelIcon";
std::string builtinPrize(int slot);
}  // namespace pictures
std::string stagePicture(std::string_view id);

// Captions of the popup menu items that code ticks and unticks.
namespace menu {
inline constexpr const char* kFullScreen = "全屏";
inline constexpr const char* kWindowed = "窗口";
inline constexpr const char* kFitToScreen = "适应屏幕";
inline constexpr const char* kMonitors = "显示器";
inline constexpr const char* kMusicOn = "启用背景音乐";
inline constexpr const char* kMusicOff = "禁用背景音乐";
inline constexpr const char* kOpenEventFolder = "打开活动文件夹";
inline constexpr const char* kJournal = "抽奖记录";
inline constexpr const char* kVerifiable = "可验证抽奖";
inline constexpr const char* kVoidLastWin = "作废上次中奖";
inline constexpr const char* kRehearsal = "彩排模式";
inline constexpr const char* kStyles[kWheelStyleCount] = {"样式一", "样式二", "样式三", "样式四"};
// The show effects, each ticked while on.
inline constexpr const char* kShowEffects = "演出效果";
inline constexpr int kShowEffectCount = 4;
inline constexpr const char* kShowEffectItems[kShowEffectCount] = {"减速停止", "滚动音效",
                                                                   "中奖特写", "烟花平滑"};
}  // namespace menu

}  // namespace zv
