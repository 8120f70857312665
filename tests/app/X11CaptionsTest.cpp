// Window captions as the X server holds them, on Qt's xcb platform: the window
// system may dress a title up (with the application's display name, say), so
// windowTitle() on the offscreen platform cannot show what the stage sees. Run
// by with-xvfb, which provides an X server of its own.
#include "Application.h"

#include "X11Support.h"
#include "main/MainWindow.h"
#include "main/StartupEnvironment.h"
#include "midi/Midi.h"
#include "midistrings/MidiStringsDialog.h"
#include "support/FakeDialogs.h"
#include "support/FakeMidiSystem.h"
#include "support/MainWindowControls.h"
#include "touchpad/TouchPad.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace tarvello::test {
namespace {

// The window's name in both its properties, as "_NET_WM_NAME|WM_NAME".
QString XWindowNames(const QWidget &window)
{
    const QString output =
        RunTool(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("-notype"),
                 QStringLiteral("_NET_WM_NAME"), QStringLiteral("WM_NAME")});
    static const QRegularExpression property(QStringLiteral("^(\\w+) = \"(.*)\"$"),
                                             QRegularExpression::MultilineOption);
    QString modern;
    QString legacy;
    for (auto match = property.globalMatch(output); match.hasNext();) {
        const QRegularExpressionMatch line = match.next();
        (line.captured(1) == QLatin1String("WM_NAME") ? legacy : modern) = line.captured(2);
    }
    return modern + QLatin1Char('|') + legacy;
}

bool ShowsName(const QWidget &window, const QString &name)
{
    return QTest::qWaitFor([&] { return XWindowNames(window) == name + QLatin1Char('|') + name; },
                           5000);
}

TEST(X11Captions, EveryWindowOfTheProgramShowsItsOwnTitle)
{
    QTemporaryDir show;
    ASSERT_TRUE(show.isValid());
    QFile(show.filePath(QStringLiteral("MidiStrings.txt"))).open(QIODevice::WriteOnly);
    const QString startDir = QDir::currentPath();
    QDir::setCurrent(show.path());
    SetMidiSystem(std::make_shared<TFakeMidiSystem>(QStringList{"In A"}, QStringList{"Out A"}));
    {
        TFakeDialogs dialogs;
        TfMain window(dialogs);
        const TControlsOf controls(window);
        window.FormCreate(show.filePath(QStringLiteral("Tarvello.INI")));
        window.show();
        TfTouch pad(window.PadPlace().y(), window.PadPlace().x());
        window.SetTouchPad(&pad);
        // Shown as the operator shows it: the box decides at every paint.
        controls.Find<QCheckBox>("cbTouchPad")->setChecked(true);
        TfMidiStrings editor(dialogs);
        editor.show();
        for (QWidget *shown : std::vector<QWidget *>{&window, &pad, &editor}) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        }
        EXPECT_TRUE(ShowsName(window, QStringLiteral("Tarvello v1.4.0")))
            << XWindowNames(window).toStdString();
        EXPECT_TRUE(ShowsName(pad, QStringLiteral("Nav Pad"))) << XWindowNames(pad).toStdString();
        EXPECT_TRUE(ShowsName(editor, QStringLiteral("Midi Output Strings - in Hex")))
            << XWindowNames(editor).toStdString();

        // The caption a selection writes reaches the screen as it stands.
        test::SelectValue(&window, 5);
        EXPECT_TRUE(ShowsName(window, window.windowTitle())) << XWindowNames(window).toStdString();
        EXPECT_TRUE(dialogs.MessageTexts().isEmpty());
        window.SetTouchPad(nullptr);
    }
    ReleaseMidiDevices();
    QDir::setCurrent(startDir);
}

TEST(X11Captions, TheProgramStartsWithItsPlainCaption)
{
    TProgramCopy program("[Setting]\r\nTouchPad=1\r\n");
    ASSERT_TRUE(program.Valid());
    ASSERT_TRUE(program.Start({QStringLiteral("Tarvello v"), QStringLiteral("Nav Pad")}))
        << program.Shown().join(QStringLiteral(" | ")).toStdString();
    const QStringList names = program.Shown();
    EXPECT_TRUE(program.Stop()) << "the desktop's request to stop ends the program";
    EXPECT_TRUE(names.contains(QStringLiteral("Tarvello v1.4.0")))
        << names.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Nav Pad")))
        << names.join(QStringLiteral(" | ")).toStdString();
}

} // namespace
} // namespace tarvello::test
