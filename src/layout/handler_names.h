#pragma once
// Names that bind the events of the stage and effects layouts to their handlers; the
// dialogs name their own (dialogs/dialog_layouts.h).
#include "store/wheel_styles.h"

namespace zv::handlers {

inline constexpr const char* kMainCreated = "main.created";
inline constexpr const char* kMainCloseRequest = "main.closeRequest";
inline constexpr const char* kPopup = "popup";
inline constexpr const char* kDragWheel = "drag.wheel";
inline constexpr const char* kDragWheelBackground = "drag.wheelBackground";
inline constexpr const char* kDragMainTitle = "drag.mainTitle";
inline constexpr const char* kDragSubtitle = "drag.subtitle";
inline constexpr const char* kDragResult = "drag.result";
inline constexpr const char* kChangePrizePicture = "prize.changePicture";
inline constexpr const char* kStartDraw = "draw.start";
inline constexpr const char* kStopDraw = "draw.stop";
inline constexpr const char* kDrawButton = "draw.button";
inline constexpr const char* kRollStep = "draw.rollStep";
inline constexpr const char* kAutoStop = "draw.autoStop";
inline constexpr const char* kFocusDrawButton = "draw.focusButton";
inline constexpr const char* kShowDesignatedMarker = "draw.designatedMarker";
inline constexpr const char* kDragPanel = "panel.drag";
inline constexpr const char* kClosePanel = "panel.close";
inline constexpr const char* kSavePanel = "panel.save";

inline constexpr const char* kMenuPrizeSettings = "menu.prizeSettings";
inline constexpr const char* kMenuOtherSettings = "menu.otherSettings";
inline constexpr const char* kMenuEnlarge = "menu.enlarge";
inline constexpr const char* kMenuMainTitle = "menu.mainTitle";
inline constexpr const char* kMenuSubtitle = "menu.subtitle";
inline constexpr const char* kMenuResults = "menu.results";
inline constexpr const char* kMenuStyles[kWheelStyleCount] = {"menu.style1", "menu.style2",
                                                              "menu.style3", "menu.style4"};
inline constexpr const char* kMenuMainTitleFont = "menu.mainTitleFont";
inline constexpr const char* kMenuSubtitleFont = "menu.subtitleFont";
inline constexpr const char* kMenuChangeBackground = "menu.changeBackground";
inline constexpr const char* kMenuRemoveBackground = "menu.removeBackground";
inline constexpr const char* kMenuChangeMusic = "menu.changeMusic";
inline constexpr const char* kMenuMusicOn = "menu.musicOn";
inline constexpr const char* kMenuMusicOff = "menu.musicOff";
inline constexpr const char* kMenuFullScreen = "menu.fullScreen";
inline constexpr const char* kMenuWindowed = "menu.windowed";
inline constexpr const char* kMenuFitToScreen = "menu.fitToScreen";
inline constexpr const char* kMenuOpenEventFolder = "menu.openEventFolder";
inline constexpr const char* kMenuJournal = "menu.journal";
inline constexpr const char* kMenuVoidLastWin = "menu.voidLastWin";
inline constexpr const char* kMenuRehearsal = "menu.rehearsal";
inline constexpr const char* kMenuVerifiable = "menu.verifiable";
inline constexpr const char* kMenuShowEffects[4] = {"menu.slowDown", "menu.stepTick",
                                                    "menu.winnerCloseUp", "menu.smoothFireworks"};
inline constexpr const char* kMenuHelp = "menu.help";
inline constexpr const char* kMenuAbout = "menu.about";
inline constexpr const char* kMenuExit = "menu.exit";

inline constexpr const char* kEffectsCreated = "effects.created";

}  // namespace zv::handlers
