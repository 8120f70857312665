#pragma once

class QApplication;

namespace tarvello::test {

// Prepares the process for widget tests and makes the one QApplication:
// Qt's offscreen platform unless the caller chose one, and the browser's
// needs (shared GL contexts, no Chromium sandbox when running as root).
QApplication &CreateTestApplication(int &argc, char **argv);

}  // namespace tarvello::test
