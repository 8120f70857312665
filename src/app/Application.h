#pragma once

#include <QApplication>

namespace tarvello {

class TDialogs;

// The application object. An error that escapes any handler, timer or slot
// ends only that handling: it is shown in the error box and the show goes on.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv, TDialogs &dialogs);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    TDialogs &Dialogs;
    bool Reporting = false;
};

} // namespace tarvello
