// The show's settings file as the running program guards it: one program per
// file, and writes that fail without ending the program.
#include "X11Support.h"

#include <QTest>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

QByteArray ShowOfSongs()
{
    QByteArray settings = "[Lines]\r\n";
    for (int slot = 1; slot <= 40; ++slot) {
        settings += "Text " + QByteArray::number(slot) + "=Song " + QByteArray::number(slot) +
                    ": the chorus comes twice\r\n";
    }
    return settings;
}

bool CaptionShown(const QString &end)
{
    const QStringList names = XWindowNamesOnScreen();
    return std::any_of(names.begin(), names.end(), [&end](const QString &name) {
        return name.startsWith(QStringLiteral("Tarvello v")) && name.endsWith(end);
    });
}

TEST(X11ShowFile, ASecondCopyOnTheSameShowIsRefusedAndAKilledOneIsNot)
{
    TProgramCopy program(ShowOfSongs());
    ASSERT_TRUE(program.Valid());
    ASSERT_TRUE(program.Start({QStringLiteral("Tarvello v")}));
    QTest::qWait(1500); // past the first one's own first write

    // The second start says why, on its error output and in a box of its
    // own, and opens no window of the show.
    const QByteArray settings = program.Settings();
    QProcess second;
    program.StartAnother(second);
    const bool refused = QTest::qWaitFor(
        [] { return XWindowGeometry(QStringLiteral("Tarvello - already running")).has_value(); },
        20000);
    const QByteArray said = second.readAllStandardError();
    const bool onlyOneShow = XWindowGeometry(QStringLiteral("Tarvello v")).has_value();
    second.kill();
    second.waitForFinished();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(said.contains("Tarvello is already running with this show")) << said.constData();
    EXPECT_TRUE(onlyOneShow);
    EXPECT_EQ(program.Settings(), settings);

    // A program killed on stage leaves its lock behind: the next start takes
    // it over without a word.
    program.Kill();
    ASSERT_TRUE(program.Start({QStringLiteral("Tarvello v")}));
    EXPECT_FALSE(XWindowGeometry(QStringLiteral("Tarvello - already running")).has_value());
    EXPECT_TRUE(program.Stop());
}

TEST(X11ShowFile, AFileSizeLimitFailsTheWriteNotTheProgram)
{
    // Smaller than the show: every write of it reaches the limit.
    TProgramCopy program(ShowOfSongs());
    ASSERT_TRUE(program.Valid());
    const QByteArray settings = program.Settings();
    ASSERT_TRUE(program.Start({QStringLiteral("Tarvello v")},
                              {QStringLiteral("prlimit"), QStringLiteral("--fsize=512:unlimited"),
                               QStringLiteral("--")}));
    // The window's first placement is a change to write: it fails, and the
    // caption says so.
    EXPECT_TRUE(QTest::qWaitFor([] { return CaptionShown(QStringLiteral(" - Not saved")); }, 10000));
    EXPECT_EQ(program.Settings(), settings) << "the old file is whole";

    // The limit lifted, the shut-down writes the show.
    ASSERT_EQ(QProcess::execute(QStringLiteral("prlimit"),
                                {QStringLiteral("--pid"), QString::number(program.ProcessId()),
                                 QStringLiteral("--fsize=unlimited")}),
              0);
    EXPECT_TRUE(program.Stop());
    EXPECT_TRUE(program.Settings().contains("[Screen]\r\n"));
    EXPECT_TRUE(program.Settings().contains("Text 40=Song 40: the chorus comes twice\r\n"));
}

} // namespace
} // namespace tarvello::test
