// Window captions as the X server holds them, on Qt's xcb platform: the window
// system may dress a title up (with the application's display name, say), so
// windowTitle() on the offscreen platform cannot show what the stage sees. Run
// by with-xvfb, which provides an X server of its own.
#include "Application.h"

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

QString Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The window's name in both its properties, as "_NET_WM_NAME|WM_NAME".
QString XWindowNames(const QWidget &window)
{
    const QString output =
        Run(QStringLiteral("xprop"),
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

// The names of all windows of the X server, as xwininfo lists them.
QStringList XWindowNamesOnScreen()
{
    const QString tree =
        Run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    static const QRegularExpression window(QStringLiteral("^\\s*0x[0-9a-f]+ \"(.*)\": "),
                                           QRegularExpression::MultilineOption);
    QStringList names;
    for (auto match = window.globalMatch(tree); match.hasNext();) {
        names << match.next().captured(1);
    }
    return names;
}

// Whether the process has its handler for SIGTERM in place (SigCgt, bit 15).
bool CatchesTerm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> 14 & 1) != 0;
        }
    }
    return false;
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
        TfTouch pad(window.PadTop, window.PadLeft);
        window.SetTouchPad(&pad);
        // Shown as the operator shows it: the box decides at every paint.
        controls.Find<QCheckBox>("cbTouchPad")->setChecked(true);
        TfMidiStrings editor;
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
        window.ActOnValue(5);
        EXPECT_TRUE(ShowsName(window, window.windowTitle())) << XWindowNames(window).toStdString();
        EXPECT_TRUE(dialogs.MessageTexts().isEmpty());
        window.SetTouchPad(nullptr);
    }
    ReleaseMidiDevices();
    QDir::setCurrent(startDir);
}

TEST(X11Captions, TheProgramStartsWithItsPlainCaption)
{
    // A copy of the program in a folder of its own keeps its settings there.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("Tarvello"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TARVELLO_PROGRAM), program));
    QFile settings(folder.filePath(QStringLiteral("Tarvello.INI")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Setting]\r\nTouchPad=1\r\n");
    settings.close();
    QFile(folder.filePath(QStringLiteral("MidiStrings.txt"))).open(QIODevice::WriteOnly);

    // This test program's own windows of the test before must be gone from
    // the screen, or they would be taken for the program's.
    ASSERT_TRUE(QTest::qWaitFor([] {
        const QStringList names = XWindowNamesOnScreen();
        return !names.contains(QStringLiteral("Nav Pad")) &&
               std::none_of(names.begin(), names.end(), [](const QString &name) {
                   return name.startsWith(QStringLiteral("Tarvello v"));
               });
    }));

    QProcess tarvello;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No MIDI server is started for it, and none of the tests' is used.
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"), QStringLiteral("tarvello-none"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    tarvello.setProcessEnvironment(environment);
    tarvello.setWorkingDirectory(folder.path());
    tarvello.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tarvello.start(program, {QStringLiteral("-platform"), QStringLiteral("xcb")});
    ASSERT_TRUE(tarvello.waitForStarted());

    const auto shown = [](const QString &start) {
        const QStringList names = XWindowNamesOnScreen();
        return std::any_of(names.begin(), names.end(),
                           [&](const QString &name) { return name.startsWith(start); });
    };
    const bool up = QTest::qWaitFor(
        [&] {
            return shown(QStringLiteral("Tarvello v")) && shown(QStringLiteral("Nav Pad")) &&
                   CatchesTerm(tarvello.processId());
        },
        30000);
    const QStringList names = XWindowNamesOnScreen();
    tarvello.terminate();
    const bool ended = tarvello.waitForFinished(30000);
    if (!ended) {
        tarvello.kill();
        tarvello.waitForFinished();
    }
    ASSERT_TRUE(up) << names.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Tarvello v1.4.0")))
        << names.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Nav Pad")))
        << names.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(ended && tarvello.exitStatus() == QProcess::NormalExit)
        << "the desktop's request to stop ends the program";
}

} // namespace
} // namespace tarvello::test

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    tarvello::PrepareProcessEnvironment();
    // On X11 as on a desktop, whatever the caller's platform; the display is the
    // one with-xvfb set up.
    std::vector<char *> arguments(argv, argv + argc);
    char platform[] = "-platform";
    char xcb[] = "xcb";
    arguments.push_back(platform);
    arguments.push_back(xcb);
    arguments.push_back(nullptr);
    int count = argc + 2;
    tarvello::test::TFakeDialogs dialogs;
    tarvello::TApplication application(count, arguments.data(), dialogs);
    return RUN_ALL_TESTS();
}
