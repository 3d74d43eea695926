#pragma once
// Every section and key of the settings file, in one place.
#include <array>
#include <cstdint>
#include <string_view>

#include "store/prize_slots.h"
#include "store/wheel_styles.h"

namespace zv::keys {

inline constexpr std::string_view kGeneral = "zbt";
inline constexpr std::string_view kFonts = "yanse";

inline constexpr std::string_view kMainTitle = "主标题";
inline constexpr std::string_view kSubtitle = "副标题";
inline constexpr std::string_view kWheelLeft = "外形框1左边";
inline constexpr std::string_view kWheelTop = "外形框1顶边";
inline constexpr std::string_view kMainTitleLeft = "主标题左边";
inline constexpr std::string_view kMainTitleTop = "主标题顶边";
inline constexpr std::string_view kSubtitleLeft = "副标题左边";
inline constexpr std::string_view kSubtitleTop = "副标题顶边";
inline constexpr std::string_view kResultLeft = "中奖图片左边";
inline constexpr std::string_view kResultTop = "中奖图片顶边";
inline constexpr std::string_view kResultWidth = "奖品图片宽";
inline constexpr std::string_view kResultHeight = "奖品图片高";
inline constexpr std::string_view kRollInterval = "滚动速度";
inline constexpr std::string_view kAutoStop = "自动停止";
inline constexpr std::string_view kEffectsOff = "禁用特效";
inline constexpr std::string_view kWheelSize = "计次";
inline constexpr std::string_view kDisplayMode = "界面大小";
// Beyond the original: scaling to tall screens ("假" = off) and the stage's monitor by name.
inline constexpr std::string_view kFitToScreen = "适应屏幕";
inline constexpr std::string_view kMonitor = "显示器";
inline constexpr std::string_view kMusic = "背景音乐";
inline constexpr std::string_view kWheelStyle = "样式";
inline constexpr std::string_view kDrawMode = "lx";
// Beyond the original: the show effects (the slow-down landing and its length in seconds,
// the step tick, the winner close-up, fireworks at the screen's own rate).
inline constexpr std::string_view kSlowDown = "减速停止";
inline constexpr std::string_view kSlowDownSeconds = "减速时长";
inline constexpr std::string_view kStepTick = "滚动音效";
inline constexpr std::string_view kWinnerCloseUp = "中奖特写";
inline constexpr std::string_view kSmoothFireworks = "烟花平滑";
inline constexpr std::string_view kPassword = "password";

// Prize values of slots 1..8.
inline constexpr std::array<std::string_view, kSlotCount> kPrizeValues = {"一", "二", "三", "四",
                                                                          "五", "六", "七", "八"};
using ::zv::kDefaultPrizeValues;

// Section kFonts.
inline constexpr std::string_view kMainTitleFace = "主标题字体";
inline constexpr std::string_view kMainTitleSize = "主标题字体大小";
inline constexpr std::string_view kMainTitleColour = "主标题字体颜色";
inline constexpr std::string_view kSubtitleFace = "副标题字体";
inline constexpr std::string_view kSubtitleSize = "副标题字体大小";
inline constexpr std::string_view kSubtitleColour = "副标题字体颜色";

// Values.
inline constexpr std::string_view kTrue = "真";
inline constexpr std::string_view kFalse = "假";
inline constexpr std::string_view kWindowed = "窗口";
inline constexpr std::string_view kFullScreen = "全屏";
inline constexpr std::array<std::string_view, kWheelStyleCount> kWheelStyles = {"zp1", "zp2", "zp3", "zp4"};

}  // namespace zv::keys
