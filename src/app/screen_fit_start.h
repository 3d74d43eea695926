#pragma once
// Fitting the stage to a tall screen, decided before the application exists: Qt fixes its
// scale factor when QApplication is constructed.
#include <string>
#include <vector>

namespace zv {

// Reads the event folder's fit switch and chosen monitor and the X server's monitors, and
// sets QT_SCALE_FACTOR when the stage's monitor is taller than the layouts' 768 pixels.
// Leaves everything alone when the user set Qt's scaling variables himself, when the
// program does not run on X, or when fitting is switched off.
// arguments: the program's (programArguments), its name first.
void fitToScreenBeforeApplication(const std::vector<std::string>& arguments);

// Once the application exists: takes back the variables fitToScreenBeforeApplication set,
// so that programs started from here (the file manager of 打开活动文件夹) are not scaled by
// this program's factor on top of their own.
void keepScreenFitToThisProcess();

}  // namespace zv
