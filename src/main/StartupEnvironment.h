#pragma once

#include <QByteArray>

namespace tarvello {

// The platform to ask Qt for before the application starts, or empty to
// leave Qt's choice. Window positions matter on stage (the Nav Pad sits on a
// touch screen) and Wayland does not let a program place its windows, so a
// Wayland session runs the program on X11 through XWayland (falling back to
// Wayland where there is none), unless the user chose a platform.
QByteArray PlatformForSession(const QByteArray &chosenPlatform, const QByteArray &sessionType,
                              const QByteArray &waylandDisplay);

// Prepares the process for the main window and the browser: the platform
// rule above, and Chromium's sandbox off when running as root (it refuses to
// start otherwise). Call before the QApplication exists.
void PrepareProcessEnvironment();

} // namespace tarvello
