#include "Application.h"

#include "widgets/Dialogs.h"

#include <QWidget>

namespace tarvello {

TApplication::TApplication(int &argc, char **argv, TDialogs &dialogs)
    : QApplication(argc, argv), Dialogs(dialogs)
{
    // The name only: on X11 a display name is added to every window title that
    // does not end with it ("Nav Pad — Tarvello"), and the captions are the
    // program's own.
    setApplicationName(ApplicationTitle());
    // The installed desktop entry's name: Wayland desktops match the windows
    // to it for the task bar's icon.
    setDesktopFileName(QStringLiteral("tarvello"));
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString message = ErrorMessageOf(std::current_exception());
        // An error raised while its own box is up (say by a repaint behind it)
        // must not stack boxes without end.
        if (!Reporting) {
            Reporting = true;
            try {
                Dialogs.ShowError(activeWindow(), message);
            } catch (...) {
            }
            Reporting = false;
        }
        return false;
    }
}

} // namespace tarvello
