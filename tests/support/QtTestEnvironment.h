#pragma once

class QApplication;

namespace tarvello::test {

// Prepares the process for widget tests: Qt's offscreen platform unless the
// caller chose one, and the browser's needs (shared GL contexts, no Chromium
// sandbox when running as root). Call before the QApplication is made.
void PrepareTestEnvironment();

// For programs without their own main loop object (the benchmarks): prepares
// the environment and makes the one QApplication. It is never destroyed: Qt's
// shared GL context must not be torn down among the static destructors, where
// it crashes once a window has existed.
QApplication &CreateTestApplication(int &argc, char **argv);

}  // namespace tarvello::test
