#include "widgets/ErrorReporter.h"

#include "core/ErrorText.h"

#include <utility>

namespace tarvello {

TErrorReporter::TErrorReporter(std::function<void(const QString &)> showBox)
    : ShowBox(std::move(showBox))
{
}

void TErrorReporter::Report(std::exception_ptr error)
{
    Report(ErrorMessageOf(error));
}

void TErrorReporter::Report(const QString &text)
{
    if (Showing) {
        Waiting = text;
        return;
    }
    Showing = true;
    QString next = text;
    while (!next.isEmpty()) {
        try {
            ShowBox(next);
        } catch (...) {
            // A box that cannot be shown must not leave the queue blocked.
        }
        QString waiting = std::exchange(Waiting, QString());
        if (waiting == next) {
            // The same text again while its own box was up: already seen.
            waiting.clear();
        }
        next = waiting;
    }
    Showing = false;
}

} // namespace tarvello
