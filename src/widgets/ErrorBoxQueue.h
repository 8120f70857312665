#pragma once

#include <QString>

#include <functional>

namespace tarvello {

// Shows errors one box at a time on the window's thread. A box is modal and
// runs its own event loop, in which more errors may arrive; those wait, and
// only the newest of them is shown once the box is closed, so boxes never
// stack on top of each other on stage.
class TErrorBoxQueue {
public:
    explicit TErrorBoxQueue(std::function<void(const QString &)> showBox);

    void Report(const QString &text);

private:
    std::function<void(const QString &)> ShowBox;
    bool Showing = false;
    QString Waiting;
};

} // namespace tarvello
