#include "core/AfterPaint.h"

#include <QCoreApplication>
#include <QEvent>

#include <utility>

namespace tarvello {
namespace {

const QEvent::Type RunEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// A child of the owner, so that it and its event go with the owner.
class TAfterPaintCall : public QObject {
public:
    TAfterPaintCall(QObject *owner, std::function<void()> work)
        : QObject(owner), Work(std::move(work))
    {
    }

protected:
    void customEvent(QEvent *event) override
    {
        if (event->type() != RunEvent) {
            QObject::customEvent(event);
            return;
        }
        // Gone before the work runs: the work may end its owner.
        setParent(nullptr);
        const std::function<void()> work = std::move(Work);
        deleteLater();
        work();
    }

private:
    std::function<void()> Work;
};

} // namespace

void RunAfterPaint(QObject *owner, std::function<void()> work)
{
    QCoreApplication::postEvent(new TAfterPaintCall(owner, std::move(work)), new QEvent(RunEvent),
                                Qt::LowEventPriority);
}

} // namespace tarvello
