#include "ScreenWatch.h"

#include <QFile>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>
#include <thread>

namespace tarvello::test {

namespace {

using TClock = std::chrono::steady_clock;

bool DisplayAnswers(const QString &name)
{
    Display *display = XOpenDisplay(name.toLocal8Bit().constData());
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

} // namespace

TPrivateXServer::TPrivateXServer(int firstDisplay)
{
    for (int number = firstDisplay; number < firstDisplay + 40; ++number) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) {
            continue;
        }
        const QString name = QStringLiteral(":%1").arg(number);
        Server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Server.start(QStringLiteral("Xvfb"),
                     {name, QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                      QStringLiteral("tcp")});
        if (!Server.waitForStarted(3000)) {
            return;
        }
        const auto until = TClock::now() + std::chrono::seconds(10);
        while (TClock::now() < until && Server.state() == QProcess::Running) {
            if (DisplayAnswers(name)) {
                Name = name;
                return;
            }
            QThread::msleep(50);
        }
        // Another server took the number first: the next one.
        Server.kill();
        Server.waitForFinished(3000);
    }
}

TPrivateXServer::~TPrivateXServer()
{
    if (Server.state() != QProcess::NotRunning) {
        Server.terminate();
        if (!Server.waitForFinished(3000)) {
            Server.kill();
            Server.waitForFinished(3000);
        }
    }
}

struct TScreenWatch::TX {
    Display *Dpy = nullptr;
    XImage *Image = nullptr;
    XShmSegmentInfo Shm{};
    bool Attached = false;
    QRect Region;
};

TScreenWatch::TScreenWatch(const QString &display, const QRect &region) : X(new TX)
{
    X->Region = region;
    X->Dpy = XOpenDisplay(display.toLocal8Bit().constData());
    if (X->Dpy == nullptr || !XShmQueryExtension(X->Dpy)) {
        return;
    }
    const int screen = DefaultScreen(X->Dpy);
    X->Image = XShmCreateImage(X->Dpy, DefaultVisual(X->Dpy, screen), DefaultDepth(X->Dpy, screen),
                               ZPixmap, nullptr, &X->Shm, region.width(), region.height());
    if (X->Image == nullptr) {
        return;
    }
    X->Shm.shmid =
        shmget(IPC_PRIVATE, size_t(X->Image->bytes_per_line) * X->Image->height, IPC_CREAT | 0600);
    if (X->Shm.shmid < 0) {
        return;
    }
    X->Shm.shmaddr = X->Image->data = static_cast<char *>(shmat(X->Shm.shmid, nullptr, 0));
    X->Shm.readOnly = False;
    X->Attached = XShmAttach(X->Dpy, &X->Shm) != 0;
    XSync(X->Dpy, False);
    // Gone once both sides have detached.
    shmctl(X->Shm.shmid, IPC_RMID, nullptr);
}

TScreenWatch::~TScreenWatch()
{
    if (X->Attached) {
        XShmDetach(X->Dpy, &X->Shm);
    }
    if (X->Shm.shmaddr != nullptr) {
        shmdt(X->Shm.shmaddr);
    }
    if (X->Image != nullptr) {
        X->Image->data = nullptr;
        XDestroyImage(X->Image);
    }
    if (X->Dpy != nullptr) {
        XCloseDisplay(X->Dpy);
    }
}

bool TScreenWatch::Ready() const
{
    return X->Attached;
}

std::vector<char> TScreenWatch::Grab()
{
    if (!X->Attached) {
        return {};
    }
    XShmGetImage(X->Dpy, DefaultRootWindow(X->Dpy), X->Image, X->Region.x(), X->Region.y(),
                 AllPlanes);
    const size_t bytes = size_t(X->Image->bytes_per_line) * X->Image->height;
    return std::vector<char>(X->Image->data, X->Image->data + bytes);
}

bool TScreenWatch::WaitForChange(const std::vector<char> &before,
                                 std::chrono::milliseconds limit, std::chrono::microseconds pace)
{
    if (!X->Attached) {
        return false;
    }
    const size_t bytes = size_t(X->Image->bytes_per_line) * X->Image->height;
    const auto until = TClock::now() + limit;
    auto next = TClock::now();
    while (TClock::now() < until) {
        XShmGetImage(X->Dpy, DefaultRootWindow(X->Dpy), X->Image, X->Region.x(), X->Region.y(),
                     AllPlanes);
        if (before.size() != bytes || std::memcmp(before.data(), X->Image->data, bytes) != 0) {
            return true;
        }
        next += pace;
        std::this_thread::sleep_until(next);
    }
    return false;
}

std::vector<char> TScreenWatch::WaitUntilStill(std::chrono::milliseconds quiet,
                                               std::chrono::milliseconds limit)
{
    const auto until = TClock::now() + limit;
    std::vector<char> last = Grab();
    auto stillSince = TClock::now();
    while (TClock::now() < until && TClock::now() - stillSince < quiet) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::vector<char> now = Grab();
        if (now != last) {
            last = std::move(now);
            stillSince = TClock::now();
        }
    }
    return last;
}

} // namespace tarvello::test
