#include "prompt/ShowSaver.h"

#include "core/AfterPaint.h"
#include "core/ErrorText.h"
#include "core/TarvelloError.h"

#include <exception>
#include <utility>

namespace tarvello {

TShowSaver::TShowSaver(std::function<void()> write, QObject *parent)
    : QObject(parent), WriteFiles(std::move(write))
{
    Quiet.setSingleShot(true);
    Quiet.setInterval(QuietMilliseconds);
    connect(&Quiet, &QTimer::timeout, this, &TShowSaver::QuietPeriodOver);
    Longest.setSingleShot(true);
    Longest.setInterval(LongestWaitMilliseconds);
    connect(&Longest, &QTimer::timeout, this, &TShowSaver::QuietPeriodOver);
    Retry.setSingleShot(true);
    Retry.setInterval(RetryMilliseconds);
    connect(&Retry, &QTimer::timeout, this, &TShowSaver::QuietPeriodOver);
}

void TShowSaver::Changed()
{
    Quiet.start();
    if (!Longest.isActive() && !WaitingForPaint) {
        Longest.start();
    }
}

void TShowSaver::SelectionShown()
{
    if (PaintPending) {
        return;
    }
    PaintPending = true;
    RunAfterPaint(this, [this] { Painted(); });
}

bool TShowSaver::WritePending() const
{
    return Quiet.isActive() || WaitingForPaint;
}

void TShowSaver::WriteNow()
{
    WaitingForPaint = false;
    Write();
}

void TShowSaver::Painted()
{
    PaintPending = false;
    if (WaitingForPaint) {
        WaitingForPaint = false;
        Write();
    }
}

void TShowSaver::QuietPeriodOver()
{
    Quiet.stop();
    Longest.stop();
    if (PaintPending) {
        WaitingForPaint = true;
        return;
    }
    Write();
}

void TShowSaver::Write()
{
    // A failure must not put a box over the stage: it is kept for the
    // operator, and the next change or the retry tries again.
    Quiet.stop();
    Longest.stop();
    Retry.stop();
    try {
        WriteFiles();
        Error.clear();
        emit Written();
        return;
    } catch (const TWriteError &error) {
        // The operator is told why, to know what to mend: "(No space left
        // on device)".
        Error = QStringLiteral("%1 (%2)").arg(error.message(), error.cause());
    } catch (...) {
        Error = ErrorMessageOf(std::current_exception());
    }
    Retry.start();
    emit WriteFailed(Error);
}

} // namespace tarvello
