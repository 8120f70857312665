#pragma once

#include "core/TarvelloError.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>

#include <functional>

namespace tarvello::test {

// The text of the TError that `action` raises, or "(no error)".
inline QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const TError &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
inline bool RunEventsUntil(const std::function<bool()> &done, int ms = 3000)
{
    return test::WaitFor(done, ms);
}

inline void RunEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace tarvello::test
