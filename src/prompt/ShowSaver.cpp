#include "prompt/ShowSaver.h"

#include "core/ErrorText.h"

#include <QCoreApplication>
#include <QEvent>

#include <exception>
#include <utility>

namespace tarvello {
namespace {

// Posted at the widgets' own low priority, so that it queues behind the
// repaint a selection asked for; a call posted at normal priority would
// overtake it.
const QEvent::Type AfterPaintEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

TShowSaver::TShowSaver(std::function<void()> write, QObject *parent)
    : QObject(parent), WriteFiles(std::move(write))
{
    Quiet.setSingleShot(true);
    Quiet.setInterval(QuietMilliseconds);
    connect(&Quiet, &QTimer::timeout, this, &TShowSaver::QuietPeriodOver);
}

void TShowSaver::Changed()
{
    Quiet.start();
}

void TShowSaver::SelectionShown()
{
    if (PaintPending) {
        return;
    }
    PaintPending = true;
    QCoreApplication::postEvent(this, new QEvent(AfterPaintEvent), Qt::LowEventPriority);
}

bool TShowSaver::WritePending() const
{
    return Quiet.isActive() || WaitingForPaint;
}

void TShowSaver::customEvent(QEvent *event)
{
    if (event->type() != AfterPaintEvent) {
        QObject::customEvent(event);
        return;
    }
    PaintPending = false;
    if (WaitingForPaint) {
        WaitingForPaint = false;
        Write();
    }
}

void TShowSaver::QuietPeriodOver()
{
    if (PaintPending) {
        WaitingForPaint = true;
        return;
    }
    Write();
}

void TShowSaver::Write()
{
    // A failure must not put a box over the stage: it is kept for the
    // operator, and the next change tries again.
    try {
        WriteFiles();
        Error.clear();
        emit Written();
    } catch (...) {
        Error = ErrorMessageOf(std::current_exception());
        emit WriteFailed(Error);
    }
}

} // namespace tarvello
