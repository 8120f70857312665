#pragma once

#include <QObject>
#include <QUrl>

#include <functional>

namespace tarvello {

// The help key: F1 in any window of the program opens the getting-started
// page. It watches every key press the desktop delivers to one of the
// program's windows before the window hands it on, so it works whichever
// control or window has the focus, and each auto-repeated press of a held F1
// asks again. The key press goes on to its receiver as usual.
class THelpKey : public QObject {
    Q_OBJECT

public:
    using TOpener = std::function<void(const QUrl &page)>;

    // The desktop opens the page (the default browser); nothing is reported
    // when the page is missing or nothing can open it.
    explicit THelpKey(QObject *parent = nullptr);

    // Installs the watch on the application; removing it again is
    // destroying this object.
    void Install();
    // Who opens the page (tests record the requests instead).
    void SetOpener(TOpener opener);

    // The page for a press now: the help page in the current directory when
    // there is one (a show folder may carry its own), else the one installed
    // with the program, found from the program's folder so that a moved
    // installation still finds it; with neither, the current directory's.
    static QUrl HelpPage();
    static QUrl HelpPage(const QString &currentFolder, const QString &programFolder);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TOpener Opener;
};

} // namespace tarvello
