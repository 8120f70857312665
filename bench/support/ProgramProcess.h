#pragma once

// The built program started as a musician starts it, for the benchmarks that
// watch it from outside.

#include <QString>

class QProcess;

namespace tarvello {

// Starts `program` in `folder` on the X display `display`, its output
// dropped and its errors passed on. False when it did not start.
bool StartProgramOnDisplay(QProcess &process, const QString &program, const QString &folder,
                           const QString &display);
// Asks it to end, and ends it when it does not within five seconds.
void EndProgram(QProcess &process);

} // namespace tarvello
