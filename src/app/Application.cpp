#include "Application.h"

#include "core/Version.h"
#include "widgets/Dialogs.h"

#include <QWidget>

namespace tarvello {

TApplication::TApplication(int &argc, char **argv, TDialogs &dialogs)
    : QApplication(argc, argv),
      OwnReporter([&dialogs](const QString &text) { dialogs.ShowError(activeWindow(), text); })
{
    // The name only: on X11 a display name is added to every window title that
    // does not end with it ("Nav Pad — Tarvello"), and the captions are the
    // program's own.
    setApplicationName(ApplicationTitle());
    // The installed desktop entry's name: Wayland desktops match the windows
    // to it for the task bar's icon.
    setDesktopFileName(QLatin1String(ApplicationId));
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // An error raised while a box is up (say by a repaint behind it)
        // waits for it; boxes never stack.
        try {
            Reporter->Report(std::current_exception());
        } catch (...) {
        }
        return false;
    }
}

void TApplication::SetErrorReporter(TErrorReporter *reporter)
{
    Reporter = reporter ? reporter : &OwnReporter;
}

} // namespace tarvello
