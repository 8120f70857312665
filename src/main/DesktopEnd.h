#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QSocketNotifier;

namespace tarvello {

// Ends the program the normal way whatever ends it: when the desktop asks
// the program to stop (SIGTERM, SIGINT from Ctrl+C in a terminal, SIGHUP when
// the terminal goes, the session's logout), the main window is closed just as
// its close box closes it, so its shut-down runs and the show is saved. And a
// closed main window ends the program even while the Nav Pad is still shown.
//
// One object at a time; it puts the earlier signal handlers back when it goes.
class TDesktopEnd : public QObject {
    Q_OBJECT

public:
    // `quit` ends the program's event loop (tests watch it instead).
    explicit TDesktopEnd(QWidget &mainWindow, std::function<void()> quit = &QCoreApplication::quit,
                         QObject *parent = nullptr);
    ~TDesktopEnd() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SignalArrived();
    void CloseMainWindow();
    void QuitWhenClosed();

    QPointer<QWidget> MainWindow;
    std::function<void()> Quit;
    QSocketNotifier *Notifier = nullptr;
};

} // namespace tarvello
