#include "main/DesktopEnd.h"
#include "main/HelpKey.h"
#include "support/Wait.h"
#include "touchpad/TouchPad.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

#include <csignal>

namespace tarvello {
namespace {

using test::WaitFor;

// Delivers a key press as the desktop does: to the window, which hands it to
// the control with the focus.
void PressKey(QWidget &window, Qt::Key key, bool autoRepeat = false)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(window.windowHandle(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(window.windowHandle(), &release);
}

// A window that refuses to close while `Refuse` is set, as one with unsaved
// work may.
class TStubbornWindow : public QWidget {
public:
    bool Refuse = false;

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!Refuse); }
};

TEST(HelpKey, F1InAnyWindowOpensTheHelpPageOfTheCurrentDirectoryEveryPress)
{
    QTemporaryDir showFolder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(showFolder.path());

    QWidget main;
    auto *layout = new QVBoxLayout(&main);
    auto *edit = new QLineEdit(&main);
    layout->addWidget(edit);
    main.show();
    edit->setFocus();
    TfTouch pad(100, 100);
    pad.show();
    ASSERT_TRUE(WaitFor([&] { return main.windowHandle() && pad.windowHandle(); }));

    THelpKey help;
    QList<QUrl> opened;
    help.SetOpener([&](const QUrl &page) { opened.append(page); });
    help.Install();

    PressKey(main, Qt::Key_F1);
    PressKey(main, Qt::Key_F2);
    PressKey(pad, Qt::Key_F1);
    PressKey(pad, Qt::Key_F1, true);
    PressKey(pad, Qt::Key_F1, true);
    QDir::setCurrent(before);

    const QUrl page =
        QUrl::fromLocalFile(QDir(showFolder.path()).filePath("TarvelloGettingStarted.html"));
    EXPECT_EQ(opened, (QList<QUrl>{page, page, page, page}))
        << "one request per press, held keys included, in the main window and the Nav Pad";

    // The key still reaches the control with the focus.
    int seen = 0;
    struct TCounter : QObject {
        int &Seen;
        explicit TCounter(int &seen) : Seen(seen) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            Seen += event->type() == QEvent::KeyPress;
            return false;
        }
    } counter(seen);
    edit->installEventFilter(&counter);
    PressKey(main, Qt::Key_F1);
    EXPECT_EQ(seen, 1);
}

TEST(HelpKey, APageInTheCurrentFolderComesFirstThenTheInstalledOne)
{
    QTemporaryDir root;
    const QDir prefix(root.path());
    ASSERT_TRUE(prefix.mkpath("show") && prefix.mkpath("bin") &&
                prefix.mkpath("share/doc/tarvello"));
    const QString show = prefix.filePath("show"), bin = prefix.filePath("bin");
    const auto page = [&](const QString &folder) {
        return QUrl::fromLocalFile(prefix.filePath(folder + "/TarvelloGettingStarted.html"));
    };
    EXPECT_EQ(THelpKey::HelpPage(show, bin), page("show")) << "neither: the current folder's";
    QFile installed(page("share/doc/tarvello").toLocalFile());
    ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
    installed.close();
    EXPECT_EQ(THelpKey::HelpPage(show, bin), page("share/doc/tarvello"));
    QFile own(page("show").toLocalFile());
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    EXPECT_EQ(THelpKey::HelpPage(show, bin), page("show"));
}

TEST(DesktopEnd, EndSignalsCloseTheMainWindowLikeItsCloseBox)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        TStubbornWindow window;
        window.show();
        int quits = 0;
        int closes = 0;
        TDesktopEnd end(window, [&] { ++quits; });
        struct TCloseCounter : QObject {
            int &Closes;
            explicit TCloseCounter(int &closes) : Closes(closes) {}
            bool eventFilter(QObject *, QEvent *event) override
            {
                Closes += event->type() == QEvent::Close;
                return false;
            }
        } counter(closes);
        window.installEventFilter(&counter);

        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(WaitFor([&] { return quits == 1; })) << "signal " << signal;
        EXPECT_EQ(closes, 1) << "the window's own close handling ran";
        EXPECT_FALSE(window.isVisible());
    }
    // Gone with the object: the default action would end this test program,
    // so only check that the handler was put back.
    struct sigaction now {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(DesktopEnd, ARefusedCloseDoesNotEndTheProgramAndTheNavPadDoesNotKeepItRunning)
{
    TStubbornWindow window;
    window.show();
    int quits = 0;
    TDesktopEnd end(window, [&] { ++quits; });

    window.Refuse = true;
    window.close();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(quits, 0);

    // The Nav Pad may still be up: closing the main window ends the program
    // all the same.
    TfTouch pad(100, 100);
    pad.show();
    window.Refuse = false;
    ::raise(SIGTERM);
    EXPECT_TRUE(WaitFor([&] { return quits == 1; }));
    EXPECT_TRUE(pad.isVisible());
}

} // namespace
} // namespace tarvello
