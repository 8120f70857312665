#pragma once

#include "widgets/ErrorReporter.h"

#include <QApplication>

namespace tarvello {

class TDialogs;

// The application object. An error that escapes any handler, timer or slot
// ends only that handling: it goes to the error reporter and the show goes on.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv, TDialogs &dialogs);

    bool notify(QObject *receiver, QEvent *event) override;
    // The reporter of the main window, so that the program has one error box
    // and one queue; until it is set, and after it is cleared, the
    // application's own.
    void SetErrorReporter(TErrorReporter *reporter);

private:
    TErrorReporter OwnReporter;
    TErrorReporter *Reporter = &OwnReporter;
};

} // namespace tarvello
