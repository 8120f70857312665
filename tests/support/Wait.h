#pragma once

#include <QTest>

#include <functional>

namespace tarvello::test {

// Lets the event loop run until the condition holds or the time is up;
// returns whether it holds.
inline bool WaitFor(const std::function<bool()> &condition, int milliseconds = 5000)
{
    return QTest::qWaitFor(condition, milliseconds);
}

} // namespace tarvello::test
