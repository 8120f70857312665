// The command line: what each form asks for, and how the program answers it.
#include "CommandLine.h"

#include "core/Version.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

using TAction = TCommandLine::TAction;

// "Run FILE", "Help", "Version" or "Error: TEXT", for one line of a table.
QString Outcome(const QStringList &arguments, const QString &folder)
{
    const TCommandLine line = ParseCommandLine(QStringList{"Tarvello"} + arguments, folder);
    switch (line.Action) {
    case TAction::Run:
        return "Run " + line.SettingsFile;
    case TAction::Help:
        return "Help";
    case TAction::Version:
        return "Version";
    case TAction::Error:
        return "Error: " + line.Error;
    }
    return {};
}

TEST(CommandLine, ChoosesASettingsFileOrAnswersOrRefuses)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString here = folder.path();
    ASSERT_TRUE(QDir(here).mkdir("second show"));
    const QString second = here + "/second show/Tarvello.INI";

    EXPECT_EQ(Outcome({}, here), "Run ");
    for (const QString help : {"-h", "--help"}) {
        EXPECT_EQ(Outcome({help, "--settings", "x.INI"}, here), "Help");
    }
    for (const QString version : {"-v", "--version"}) {
        EXPECT_EQ(Outcome({version}, here), "Version");
    }
    // Relative to the folder the program was started in, and cleaned; the
    // file itself may be new.
    EXPECT_EQ(Outcome({"--settings", "second show/Tarvello.INI"}, here), "Run " + second);
    EXPECT_EQ(Outcome({"--settings=./second show/../second show/Tarvello.INI"}, here),
              "Run " + second);
    EXPECT_EQ(Outcome({second}, here), "Run " + second);
    EXPECT_EQ(Outcome({"second show/tarvello.ini"}, here),
              "Run " + here + "/second show/tarvello.ini");

    EXPECT_EQ(Outcome({"--fullscreen"}, here), "Error: Unknown option 'fullscreen'.");
    EXPECT_EQ(Outcome({"--settings"}, here), "Error: Missing value after '--settings'.");
    EXPECT_EQ(Outcome({"--settings", ""}, here), "Error: No settings file named.");
    EXPECT_EQ(Outcome({"song.pdf"}, here), "Error: Not a settings file (.INI): song.pdf");
    EXPECT_EQ(Outcome({"a.INI", "b.INI"}, here), "Error: One settings file at a time.");
    EXPECT_EQ(Outcome({"--settings", "a.INI", "b.INI"}, here),
              "Error: One settings file at a time.");
    EXPECT_EQ(Outcome({"--settings", "missing/Tarvello.INI"}, here),
              "Error: No folder for the settings file: missing/Tarvello.INI");
    EXPECT_EQ(Outcome({"--settings", "second show"}, here),
              "Error: A folder, not a settings file: second show");

    const QString usage = CommandLineUsage("tarvello");
    EXPECT_TRUE(usage.startsWith("Usage: tarvello [options] [FILE.INI]\n")) << usage.toStdString();
    EXPECT_TRUE(usage.contains("--settings <FILE>"));
}

// The program itself: answers without a window, and refuses a mistyped option
// with the usage where scripts look for errors.
TEST(CommandLine, TheProgramAnswersWithoutAWindowAndRefusesWithStatusTwo)
{
    // Help and version without any display; the refusal on Qt's offscreen
    // platform, as Qt's own options are known only once it has started.
    const auto run = [](const QStringList &arguments, QProcess &process) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        if (arguments.contains("--fullscreen")) {
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        }
        process.setProcessEnvironment(environment);
        process.start(TARVELLO_PROGRAM, arguments);
        return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit;
    };
    QProcess version;
    ASSERT_TRUE(run({"--version"}, version));
    EXPECT_EQ(version.exitCode(), 0);
    EXPECT_EQ(version.readAllStandardOutput(), QByteArray("Tarvello ") + ProgramVersion + "\n");

    QProcess help;
    ASSERT_TRUE(run({"-h"}, help));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().contains("--settings <FILE>"));

    QProcess wrong;
    ASSERT_TRUE(run({"--fullscreen"}, wrong));
    EXPECT_EQ(wrong.exitCode(), 2);
    EXPECT_TRUE(wrong.readAllStandardOutput().isEmpty());
    const QByteArray said = wrong.readAllStandardError();
    EXPECT_TRUE(said.contains("Unknown option 'fullscreen'")) << said.constData();
    EXPECT_TRUE(said.contains("Usage: Tarvello [options] [FILE.INI]")) << said.constData();
}

} // namespace
} // namespace tarvello::test
