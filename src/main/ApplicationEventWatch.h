#pragma once

#include <QCoreApplication>
#include <QObject>

#include <functional>
#include <utility>

namespace tarvello {

// Sees every event of the program before it reaches its receiver, for what
// must work whichever window or control has it (the native windows of a
// window come and go with it, so a filter on one of them would be lost). The
// handler gives true for an event it takes. Lives as long as `owner`.
class TApplicationEventWatch : public QObject {
public:
    using THandler = std::function<bool(QObject *watched, QEvent *event)>;

    static void Install(QObject *owner, THandler handler)
    {
        if (QCoreApplication *application = QCoreApplication::instance()) {
            application->installEventFilter(new TApplicationEventWatch(owner, std::move(handler)));
        }
    }

    bool eventFilter(QObject *watched, QEvent *event) override { return Handler(watched, event); }

private:
    TApplicationEventWatch(QObject *owner, THandler handler)
        : QObject(owner), Handler(std::move(handler))
    {
    }

    THandler Handler;
};

} // namespace tarvello
