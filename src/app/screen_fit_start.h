#pragma once
// Fitting the stage to a tall screen, decided before the application exists: Qt fixes its
// scale factor when QApplication is constructed.

namespace zv {

// Reads the event folder's fit switch and chosen monitor and the X server's monitors, and
// sets QT_SCALE_FACTOR when the stage's monitor is taller than the layouts' 768 pixels.
// Leaves everything alone when the user set Qt's scaling variables himself, when the
// program does not run on X, or when fitting is switched off.
void fitToScreenBeforeApplication(int argc, char** argv);

}  // namespace zv
