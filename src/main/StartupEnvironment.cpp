#include "main/StartupEnvironment.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <csignal>

#include <unistd.h>

namespace tarvello {

QByteArray PlatformForSession(const QByteArray &chosenPlatform, const QByteArray &sessionType,
                              const QByteArray &waylandDisplay)
{
    if (!chosenPlatform.isEmpty()) {
        return {};
    }
    const bool wayland =
        sessionType.compare("wayland", Qt::CaseInsensitive) == 0 || !waylandDisplay.isEmpty();
    // Wayland stays as the fallback for a session without XWayland: a prompter
    // whose windows sit in the wrong place beats one that does not start.
    return wayland ? QByteArray("xcb;wayland") : QByteArray();
}

void PrepareProcessEnvironment()
{
    const QByteArray platform = PlatformForSession(
        qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"));
    if (!platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    // The browser shares its GL contexts with the widgets; Qt needs to know
    // before the application object is made.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // A file-size limit (a quota, a limit set by the session) must fail the
    // write that reaches it, which the saver reports and tries again, rather
    // than end the program in the middle of a show.
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace tarvello
