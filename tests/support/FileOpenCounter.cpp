#include "support/FileOpenCounter.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

namespace tarvello::test {

TFileOpenCounter::TFileOpenCounter(const QString &path)
    : Fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    // Reads are watched too: the system reports two opens in a row, unread,
    // as one, and a reader reads what it opened before another opens it.
    if (Fd < 0 || inotify_add_watch(Fd, path.toLocal8Bit().constData(), IN_OPEN | IN_ACCESS) < 0) {
        ADD_FAILURE() << "cannot watch " << path.toStdString() << " for opens";
    }
}

TFileOpenCounter::~TFileOpenCounter()
{
    if (Fd >= 0) {
        close(Fd);
    }
}

int TFileOpenCounter::Opens()
{
    // The system queues the event before the open returns: whatever opened
    // the file before this call is read here.
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = Fd >= 0 ? read(Fd, buffer, sizeof buffer) : -1;
        if (length <= 0) {
            return Count;
        }
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            Count += (event->mask & IN_OPEN) != 0 ? 1 : 0;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
}

} // namespace tarvello::test
