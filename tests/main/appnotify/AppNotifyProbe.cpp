// The application object's error box, with its own QApplication: an error
// escaping a timer, a queued call or a button's handler is shown once in the
// error box and the program goes on to the next event.
#include "Application.h"

#include "core/TarvelloError.h"
#include "support/FakeDialogs.h"
#include "support/QtTestEnvironment.h"

#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

int main(int argc, char **argv)
{
    using namespace tarvello;
    test::PrepareTestEnvironment();
    test::TFakeDialogs dialogs;
    TApplication application(argc, argv, dialogs);

    QPushButton button(QStringLiteral("Send"));
    QObject::connect(&button, &QPushButton::clicked,
                     [] { throw std::runtime_error("index out of range"); });
    int reached = 0;
    QTimer::singleShot(0, [] { throw TError(QStringLiteral("No MIDI output device")); });
    QTimer::singleShot(5, [&] {
        ++reached;
        button.click();
    });
    QTimer::singleShot(10, [&] {
        ++reached;
        QMetaObject::invokeMethod(
            &button, [] { throw 7; }, Qt::QueuedConnection);
    });
    QTimer::singleShot(50, [&] {
        ++reached;
        application.quit();
    });
    application.exec();

    const QStringList expected{QStringLiteral("No MIDI output device."),
                               QStringLiteral("index out of range."),
                               QStringLiteral("Unknown error.")};
    bool ok = reached == 3 && dialogs.MessageTexts() == expected &&
              QApplication::applicationName() == QStringLiteral("Tarvello");
    for (const auto &box : dialogs.Records) {
        ok = ok && box.Title == QStringLiteral("Tarvello") && box.Kind == TMessageKind::Error;
    }
    if (!ok) {
        std::fprintf(stderr, "reached %d events; boxes: %s\n", reached,
                     qPrintable(dialogs.MessageTexts().join(QStringLiteral(" | "))));
        return 1;
    }
    std::puts("error boxes shown and the program went on");
    return 0;
}
