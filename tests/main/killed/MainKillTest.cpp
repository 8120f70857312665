// What a crash or a power cut costs: the program is killed (SIGKILL) at a
// random moment after each of 50 edits of every kind and started again. The
// show's two files must then be whole, hold every edit made more than a second
// before the kill, and keep every key and slot that no edit touched byte for
// byte. An edit younger than a second may be there or not.

#include "KillEdits.h"
#include "KillModel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <thread>

#include <signal.h>

namespace tarvello::test::killed {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int EditCount = 50;
// An edit older than this at the kill must be on disk.
constexpr milliseconds MustHoldAfter{1000};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// A show with every key the program writes, in the form it writes them, and
// keys and comments it does not know, which it must leave as they are.
QByteArray StartingSettings()
{
    QByteArray ini = "; The show for the kill test\r\n"
                     "[MidiDevices]\r\nInput=In A\r\nOutput=Out B\r\nChannel=3\r\nController=7\r\n"
                     "[Display]\r\nColour=3158064\r\nLyricColour=8421376\r\n"
                     "[Font]\r\nName=DejaVu Sans\r\nColor=255\r\nHeight=-32\r\nSize=24\r\n"
                     "[Screen]\r\nTop=20\r\nHeight=500\r\nLeft=30\r\nWidth=760\r\n"
                     "[TouchPad]\r\nTop=180\r\nLeft=320\r\nWidth=170\r\nHeight=124\r\n"
                     "OverPrompt=0\r\n"
                     "[TextFiles]\r\nLast Dir=/srv/show\r\n"
                     "[Setting]\r\nSuppressNumber=0\r\nMidiThru=0\r\nMidiOut=0\r\n"
                     "MidiStringOut=0\r\nTouchPad=1\r\nPdfScrollbar=0\r\nMidiMessage=0\r\n"
                     "DisplayType=0\r\nFutureOption = kept as it is  \r\n";
    ini += "[Files]\r\n";
    for (int slot = 0; slot < SlotCount; ++slot) {
        ini += "Names " + QByteArray::number(slot + 1) + '=' +
               (slot % 4 == 1 ? "songs/" + QByteArray::number(slot) + ".txt" : QByteArray()) +
               "\r\n";
    }
    ini += "[Lines]\r\n";
    for (int slot = 0; slot < SlotCount; ++slot) {
        ini +=
            "Text " + QByteArray::number(slot + 1) + '=' +
            (slot % 3 == 0 ? QStringLiteral("Line %1 — Grüße").arg(slot).toUtf8() : QByteArray()) +
            "\r\n";
    }
    ini += "[Stage]\r\nPedalKeys=0\r\nFullScreen=0\r\nScreen=\r\nAutoScroll=0\r\n"
           "ScrollSeconds=90\r\nScrollDelay=0\r\nPageTurnerContinues=0\r\nReleaseWindow=300\r\n"
           "ShowController=-1\r\nSongSelect=0\r\nNumbersFromOne=0\r\n"
           "[Band]\r\nEnabled=0\r\nPort=8750\r\nKey=0123456789abcdef0123456789abcdef\r\n"
           "[OSC]\r\nEnabled=0\r\nPort=8760\r\nListen=127.0.0.1\r\nTargets=\r\n"
           "\r\n[Plug-ins]\r\n; written by a newer version\r\nAlpha = 1\r\n"
           "Beta=\"  spaced  \"\r\n";
    return ini;
}

QByteArray StartingMidiStrings()
{
    QByteArray file;
    for (int slot = 0; slot < SlotCount; ++slot) {
        file += "Edit " + QByteArray::number(slot) + "\r\n";
        if (slot % 5 == 2) {
            file += "C0 " + QByteArray::number(slot, 16).rightJustified(2, '0').toUpper() +
                    "\r\nF0 7E 7F 09 01 F7\r\n";
        }
    }
    // A string that reads as a marker is stored escaped; an empty one is a line.
    file.replace("Edit 60\r\n", "Edit 60\r\n\\Edit 5\r\n");
    file.replace("Edit 70\r\n", "Edit 70\r\n\r\nC0 01\r\n");
    return file;
}

// When each kill comes after its "edited": beyond a second for half of the
// edits, anywhere in the second (where the write itself falls) for the others.
// Each kind of edit takes its turns at both.
bool KilledLate(int n)
{
    return (n + RoundOfEdit(n)) % 2 == 0;
}

milliseconds KillDelay(int n, std::mt19937 &random)
{
    if (KilledLate(n)) {
        return milliseconds(std::uniform_int_distribution<int>(1050, 1400)(random));
    }
    return milliseconds(std::uniform_int_distribution<int>(0, 999)(random));
}

const char *KindName(TEditKind kind)
{
    static const char *const names[] = {
        "value typed",  "MIDI strings", "block copy",    "move",          "clear",   "list opened",
        "font",         "colour",       "input device",  "output device", "channel", "controller",
        "message type", "display type", "stage setting", "window bounds", "Nav Pad"};
    return names[int(kind)];
}

// Whether the files hold all of the edit's change.
bool Holds(const TShowModel &files, const TChange &change)
{
    for (const auto &[id, line] : change.Settings) {
        if (files.Settings.count(id) == 0 || files.Settings.at(id) != line) {
            return false;
        }
    }
    for (const auto &[slot, block] : change.Blocks) {
        if (files.Blocks[size_t(slot)] != block) {
            return false;
        }
    }
    return true;
}

class TKillTest : public ::testing::Test {
protected:
    QString SettingsPath() const { return ProgramDir.filePath(QStringLiteral("Tarvello.INI")); }
    QString MidiStringsPath() const { return ShowDir.filePath(QStringLiteral("MidiStrings.txt")); }

    // Starts the program for edit n and waits for its "edited"; returns when
    // it said so, or fails with what it said.
    ::testing::AssertionResult StartEdit(QProcess &child, int n, Clock::time_point &edited)
    {
        child.setProgram(QStringLiteral(TARVELLO_EDIT_AND_WAIT));
        child.setArguments({SettingsPath(), ShowDir.path(), QString::number(n)});
        const Clock::time_point started = Clock::now();
        child.start();
        QByteArray said;
        while (!said.contains('\n') && child.waitForReadyRead(20000)) {
            said += child.readLine();
        }
        edited = Clock::now();
        StartUp += edited - started;
        if (said.trimmed() == "edited") {
            return ::testing::AssertionSuccess();
        }
        child.kill();
        child.waitForFinished(5000);
        return ::testing::AssertionFailure()
               << "edit " << n << " (" << KindName(KindOfEdit(n)) << "): the program said \""
               << said.trimmed().toStdString() << "\", on stderr:\n"
               << child.readAllStandardError().toStdString();
    }

    QTemporaryDir ProgramDir;
    QTemporaryDir ShowDir;
    Clock::duration StartUp{};
};

TEST_F(TKillTest, EveryEditOlderThanASecondOutlivesTheKillAndNothingElseChanges)
{
    ASSERT_TRUE(ProgramDir.isValid() && ShowDir.isValid());
    std::uint32_t seed = std::random_device()();
    if (qEnvironmentVariableIsSet("TARVELLO_KILL_SEED")) {
        seed = qEnvironmentVariableIntValue("TARVELLO_KILL_SEED");
    }
    SCOPED_TRACE("kill times from TARVELLO_KILL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);

    WriteAll(SettingsPath(), StartingSettings());
    WriteAll(MidiStringsPath(), StartingMidiStrings());
    TShowModel model;
    ASSERT_FALSE(ParseSettings(StartingSettings(), model.Settings));
    ASSERT_FALSE(ParseMidiStrings(StartingMidiStrings(), model.Blocks));

    int heldKills = 0;
    int earlyKillsWritten = 0;
    const Clock::time_point begin = Clock::now();
    for (int n = 0; n < EditCount; ++n) {
        if (KindOfEdit(n) == TEditKind::ListOpened) {
            const bool textLines = model.Value(KeyId("Setting", "DisplayType")) != "1";
            WriteAll(ShowDir.filePath(ListFileName(n)), ListFileBytes(n, textLines));
        }
        const TChange change = ChangeOfEdit(n, model);
        ASSERT_FALSE(change.Settings.empty() && change.Blocks.empty())
            << "edit " << n << " (" << KindName(KindOfEdit(n)) << ") would change nothing";
        const milliseconds delay = KillDelay(n, random);

        QProcess child;
        Clock::time_point edited;
        ASSERT_TRUE(StartEdit(child, n, edited));
        std::this_thread::sleep_until(edited + delay);
        const auto age = std::chrono::duration_cast<milliseconds>(Clock::now() - edited);
        ASSERT_EQ(::kill(pid_t(child.processId()), SIGKILL), 0);
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);

        const bool mustHold = age > MustHoldAfter;
        heldKills += mustHold ? 1 : 0;
        TShowModel after;
        const QStringList failures = CheckFiles(model, change, mustHold, ReadAll(SettingsPath()),
                                                ReadAll(MidiStringsPath()), after);
        EXPECT_TRUE(failures.isEmpty())
            << "edit " << n << " (" << KindName(KindOfEdit(n)) << "), killed " << age.count()
            << " ms after it:\n  " << failures.join(QStringLiteral("\n  ")).toStdString();
        earlyKillsWritten += !mustHold && Holds(after, change) ? 1 : 0;
        model = after;
    }
    EXPECT_GE(heldKills, 20) << "kills beyond a second";
    const auto total = std::chrono::duration_cast<milliseconds>(Clock::now() - begin);
    std::printf("%d edits, %d kills beyond a second, %d of the others after the write, %lld ms "
                "in all, %lld ms of start-ups\n",
                EditCount, heldKills, earlyKillsWritten, static_cast<long long>(total.count()),
                static_cast<long long>(std::chrono::duration_cast<milliseconds>(StartUp).count()));
}

} // namespace
} // namespace tarvello::test::killed
