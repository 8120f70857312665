#include "main/DesktopEnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvello {
namespace {

constexpr std::array EndSignals{SIGTERM, SIGINT, SIGHUP};

// The signal handler may only do what is safe in a signal: it writes one byte
// into a socket whose other end the window's thread watches.
int SignalSockets[2] = {-1, -1};
std::array<struct sigaction, EndSignals.size()> EarlierHandlers{};

extern "C" void OnEndSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TDesktopEnd::TDesktopEnd(QWidget &mainWindow, std::function<void()> quit, QObject *parent)
    : QObject(parent), MainWindow(&mainWindow), Quit(std::move(quit))
{
    mainWindow.installEventFilter(this);
    if (auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        // Logout: the session asks the program to keep its data first.
        connect(application, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager &) { CloseMainWindow(); });
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalSockets) != 0) {
        SignalSockets[0] = SignalSockets[1] = -1;
        return; // the close box still saves; only the signals are not caught
    }
    // A flood of signals must never block the handler.
    for (const int socket : SignalSockets) {
        ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
    }
    Notifier = new QSocketNotifier(SignalSockets[1], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &TDesktopEnd::SignalArrived);

    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < EndSignals.size(); ++i) {
        ::sigaction(EndSignals[i], &action, &EarlierHandlers[i]);
    }
}

TDesktopEnd::~TDesktopEnd()
{
    if (SignalSockets[0] < 0) {
        return;
    }
    for (size_t i = 0; i < EndSignals.size(); ++i) {
        ::sigaction(EndSignals[i], &EarlierHandlers[i], nullptr);
    }
    delete Notifier;
    ::close(SignalSockets[0]);
    ::close(SignalSockets[1]);
    SignalSockets[0] = SignalSockets[1] = -1;
}

void TDesktopEnd::SignalArrived()
{
    std::array<char, 64> bytes{};
    while (::read(SignalSockets[1], bytes.data(), bytes.size()) > 0) {
    }
    CloseMainWindow();
}

void TDesktopEnd::CloseMainWindow()
{
    if (MainWindow && MainWindow->isVisible()) {
        MainWindow->close();
    } else {
        // Ending before the window was ever shown, or after it was closed.
        Quit();
    }
}

bool TDesktopEnd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MainWindow && event->type() == QEvent::Close) {
        // The window's own close handling has not run yet and may refuse;
        // look again once it has.
        QTimer::singleShot(0, this, &TDesktopEnd::QuitWhenClosed);
    }
    return false;
}

void TDesktopEnd::QuitWhenClosed()
{
    if (!MainWindow || !MainWindow->isVisible()) {
        Quit();
    }
}

} // namespace tarvello
