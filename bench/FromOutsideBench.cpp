// From the pedal to the picture, measured from outside as a performer sees it:
// the built program runs in a real window on a private X server, a MIDI client
// on JACK sends, and the window's pixels are read back through the X server
// about every millisecond until they change. The release window is 0 ms.
//   BM_OutsideTextLine     a Program Change to another slot's text line
//   BM_OutsidePdfPageTurn  Page Dn (7C) through a songbook
//   BM_OutsideNextRtf      Next (7E) to a slot holding another RTF song
//   BM_OutsideNextPdf      Next (7E) to a slot holding another PDF
//   BM_OutsideNextPdfWithBand  the same with band screens on and 24 followers
//                          fetching each prompt (band_content_fetched: answers)
//   BM_OutsideNextPdfWithBandUnderAttack  and every attack on band screens at once,
//                          the attackers at idle priority: they stand for other
//                          devices, so the figure is what the attacks cost the
//                          program, not what running them costs this machine
// Counters, from the send to the first changed pixel: median_ms, p99_ms (over
// at least 500 sends), max_answered_ms, samples (sends timed) and missed
// (sends the window did not answer within 2 s, counted as slower than all),
// missed_in_late_cycles (those of them during which the JACK server ran a
// cycle late: the message may have been lost before it reached the program).
// Between two sends the window is left still for a while, as on stage: 0.1 s
// between text lines, 0.3 s between page turns (faster than anyone reads) and
// 1 s between songs, so that what the program starts in the background after
// a send (pages and songs made ready) has had the time it has on stage. The program is the one
// built beside this benchmark; the environment variable TARVELLO_PROGRAM names another (an older
// build, for its figures). JACK: JACK_DEFAULT_SERVER when it names a running server, else a private
// one.

#include "show/ShowFile.h"
#include "support/BandClient.h"
#include "support/JackPeer.h"
#include "support/QtTestEnvironment.h"

#include "BandAttacks.h"
#include "BandCrowd.h"
#include "BenchFiles.h"
#include "BenchJackMain.h"
#include "ProgramProcess.h"
#include "ScreenWatch.h"

#include <QApplication>
#include <QFile>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

using namespace tarvello;
using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

namespace {

const QRect WindowBounds(0, 0, 900, 600);

QString ProgramPath()
{
    const QByteArray chosen = qgetenv("TARVELLO_PROGRAM");
    return chosen.isEmpty() ? QStringLiteral(TARVELLO_PROGRAM) : QString::fromLocal8Bit(chosen);
}

test::TPrivateXServer &XServer()
{
    static test::TPrivateXServer server;
    return server;
}

// The settings of a show whose slots hold `files` (File display) or `lines`
// (Text Line display), listening to the peer, acting at once.
QByteArray ShowSettings(bool fileDisplay, const QStringList &entries)
{
    QByteArray ini =
        "[MidiDevices]\r\nInput=" + test::TJackPeer::OutputPortName().toUtf8() +
        "\r\nChannel=1\r\nController=102\r\n"
        "[Font]\r\nName=DejaVu Sans\r\nSize=40\r\n"
        "[Screen]\r\nTop=" +
        QByteArray::number(WindowBounds.top()) +
        "\r\nLeft=" + QByteArray::number(WindowBounds.left()) +
        "\r\nHeight=" + QByteArray::number(WindowBounds.height()) +
        "\r\nWidth=" + QByteArray::number(WindowBounds.width()) +
        "\r\n[Setting]\r\nTouchPad=0\r\nMidiMessage=0\r\nDisplayType=" + (fileDisplay ? "1" : "0") +
        "\r\n[Stage]\r\nReleaseWindow=0\r\n";
    ini += fileDisplay ? "[Files]\r\n" : "[Lines]\r\n";
    for (int slot = 0; slot < entries.size(); ++slot) {
        ini += (fileDisplay ? "Names " : "Text ") + QByteArray::number(slot + 1) + "=" +
               entries[slot].toUtf8() + "\r\n";
    }
    return ini;
}

QByteArray RtfSong(int number)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 DejaVu Sans;}}"
                     "{\\colortbl;\\red0\\green0\\blue128;}\\f0\\fs56{\\b\\cf1 Song " +
                     QByteArray::number(number) + "}\\par\\fs36 ";
    for (int line = 0; line < 60; ++line) {
        rtf += "{\\i Verse " + QByteArray::number(line / 4 + 1) +
               "}: the road runs on past the river and the hill, line " +
               QByteArray::number(line + number) + "\\par ";
    }
    return rtf + "}";
}

// The program on the private X server with a show of its own, and the peer
// it listens to.
class TProgramUnderTest {
public:
    explicit TProgramUnderTest(const QByteArray &settings,
                               const std::function<void(const QTemporaryDir &)> &files)
    {
        Peer = std::make_unique<test::TJackPeer>();
        // The settings file lies beside the program: a copy of it in the show's folder.
        Program = Dir.filePath(QStringLiteral("Tarvello"));
        if (!QFile::copy(ProgramPath(), Program)) {
            return;
        }
        files(Dir);
        WriteBenchFile(Dir, QStringLiteral("Tarvello.INI"), settings);
        WriteBenchFile(Dir, QStringLiteral("MidiStrings.txt"), MidiStringsOfNoSlot());
        if (!StartProgramOnDisplay(Process, Program, Dir.path(), XServer().DisplayName())) {
            return;
        }
        Watch = std::make_unique<test::TScreenWatch>(XServer().DisplayName(), WindowBounds);
        Watch->WaitUntilStill(500ms, 20s);
        Started = Watch->Ready();
    }

    ~TProgramUnderTest()
    {
        Watch.reset();
        EndProgram(Process);
    }

    bool Started = false;

    // Sends until the window changes: the program has found the peer.
    bool Connect(const QByteArray &message)
    {
        for (int attempt = 0; attempt < 40; ++attempt) {
            const auto before = Watch->Grab();
            Peer->Send(message);
            if (Watch->WaitForChange(before, 500ms)) {
                Watch->WaitUntilStill(300ms, 5s);
                return true;
            }
        }
        return false;
    }

    // Sends unmeasured until the window changes (a busy machine's JACK may
    // drop a message, and a round must start where it should) and settles.
    void SendAndSettle(const QByteArray &message) { Connect(message); }

    // Milliseconds from the send to the first changed pixel; Missed when
    // nothing changed within two seconds, MissedInLateCycle when the server
    // also ran a cycle late meanwhile. The window is then left still for
    // `still` in all.
    double Time(const QByteArray &message, std::chrono::milliseconds still = 100ms)
    {
        const auto before = Watch->Grab();
        const int lateBefore = LateCycles.Count();
        const auto sent = TClock::now();
        Peer->Send(message);
        const bool changed = Watch->WaitForChange(before, 2s, 500us);
        const auto seen = TClock::now();
        const bool late = LateCycles.Count() != lateBefore;
        Watch->WaitUntilStill(100ms, 5s);
        std::this_thread::sleep_for(still - std::min(still, 100ms));
        if (!changed) {
            return late ? MissedInLateCycle : Missed;
        }
        return std::chrono::duration<double, std::milli>(seen - sent).count();
    }

    static constexpr double Missed = -1;
    static constexpr double MissedInLateCycle = -2;

private:
    QTemporaryDir Dir;
    QString Program;
    QProcess Process;
    std::unique_ptr<test::TJackPeer> Peer;
    std::unique_ptr<test::TScreenWatch> Watch;
    const test::TJackXRunCounter LateCycles;
};

// A p99 means something from this many samples on; below it only the
// maximum is given.
constexpr size_t SamplesForP99 = 500;

// A send the window did not answer within two seconds stays in the figures as
// slower than any answer, and is counted apart.
void Report(benchmark::State &state, std::vector<double> samples)
{
    const auto missed =
        std::count_if(samples.begin(), samples.end(), [](double ms) { return ms < 0; });
    const auto lateMissed = std::count(samples.begin(), samples.end(),
                                       TProgramUnderTest::MissedInLateCycle);
    if (size_t(missed) == samples.size()) {
        state.SkipWithError("the window never changed");
        return;
    }
    for (double &ms : samples) {
        if (ms < 0) {
            ms = std::numeric_limits<double>::infinity();
        }
    }
    std::sort(samples.begin(), samples.end());
    const auto rank = [&samples](double share) {
        return samples[std::min(samples.size() - 1,
                                size_t(std::ceil(share * double(samples.size())) - 1))];
    };
    state.SetIterationTime(std::isfinite(rank(0.5)) ? rank(0.5) / 1000 : 2.0);
    state.counters["median_ms"] = rank(0.5);
    if (samples.size() >= SamplesForP99) {
        state.counters["p99_ms"] = rank(0.99);
    }
    state.counters["max_answered_ms"] = samples[samples.size() - 1 - size_t(missed)];
    state.counters["samples"] = double(samples.size());
    state.counters["missed"] = double(missed);
    state.counters["missed_in_late_cycles"] = double(lateMissed);
}

bool Ready(benchmark::State &state)
{
    if (!test::JackServerReachable()) {
        state.SkipWithError("no JACK server");
        return false;
    }
    if (!XServer().Running()) {
        state.SkipWithError("no Xvfb");
        return false;
    }
    return true;
}

// Runs `round` (which times what it measures into the samples) on a
// program with that show until `count` samples are in.
void Measure(benchmark::State &state, const QByteArray &settings,
             const std::function<void(const QTemporaryDir &)> &files, QByteArray first,
             const std::function<void(TProgramUnderTest &, std::vector<double> &)> &round,
             size_t count)
{
    if (!Ready(state)) {
        return;
    }
    for (auto _ : state) {
        TProgramUnderTest program(settings, files);
        if (!program.Started || !program.Connect(first)) {
            state.SkipWithError("the program did not start or hear the peer");
            return;
        }
        std::vector<double> samples;
        while (samples.size() < count) {
            round(program, samples);
        }
        Report(state, samples);
    }
}

constexpr int Songs = 30;

void BM_OutsideTextLine(benchmark::State &state)
{
    QStringList lines;
    for (int slot = 0; slot < Songs; ++slot) {
        lines << QStringLiteral("Song %1: the chorus comes twice").arg(slot);
    }
    Measure(
        state, ShowSettings(false, lines), [](const QTemporaryDir &) {},
        QByteArray::fromHex("C000"),
        [](TProgramUnderTest &program, std::vector<double> &samples) {
            for (int slot = 1; slot < Songs; ++slot) {
                samples.push_back(program.Time(QByteArray::fromHex("C0") + char(slot)));
            }
            program.SendAndSettle(QByteArray::fromHex("C000"));
        },
        SamplesForP99);
}

void BM_OutsidePdfPageTurn(benchmark::State &state)
{
    constexpr int pages = 40;
    Measure(
        state, ShowSettings(true, {QStringLiteral("songbook.pdf")}),
        [](const QTemporaryDir &dir) { WriteSongbook(dir.filePath("songbook.pdf"), pages); },
        QByteArray::fromHex("C000"),
        [](TProgramUnderTest &program, std::vector<double> &samples) {
            for (int page = 1; page < pages; ++page) {
                samples.push_back(program.Time(QByteArray::fromHex("C07C"), 300ms));
            }
            program.SendAndSettle(QByteArray::fromHex("C000"));
        },
        SamplesForP99);
}

void BM_OutsideNextRtf(benchmark::State &state)
{
    QStringList files;
    for (int slot = 0; slot < Songs; ++slot) {
        files << QStringLiteral("song%1.rtf").arg(slot);
    }
    Measure(
        state, ShowSettings(true, files),
        [files](const QTemporaryDir &dir) {
            for (int slot = 0; slot < files.size(); ++slot) {
                WriteBenchFile(dir, files[slot], RtfSong(slot));
            }
        },
        QByteArray::fromHex("C000"),
        [](TProgramUnderTest &program, std::vector<double> &samples) {
            for (int slot = 1; slot < Songs; ++slot) {
                samples.push_back(program.Time(QByteArray::fromHex("C07E"), 1s));
            }
            program.SendAndSettle(QByteArray::fromHex("C000"));
        },
        SamplesForP99);
}

// Next to a slot holding another PDF; with `band`, band screens are on with
// 24 followers that fetch each prompt as the follow page does, and with
// `attacked` every attack on them found from outside runs meanwhile.
void NextPdf(benchmark::State &state, bool band, bool attacked = false)
{
    // Neighbours open at different pages, so that each Next changes the picture.
    QStringList files;
    QStringList entries;
    for (int slot = 0; slot < Songs; ++slot) {
        files << QStringLiteral("chart%1.pdf").arg(slot);
        entries << QStringLiteral("%1 /PAGE %2").arg(files.last()).arg(slot % 3 + 1);
    }
    const quint16 port = band ? test::FreePort() : 0;
    QByteArray settings = ShowSettings(true, entries);
    if (band) {
        settings += "[Band]\r\nEnabled=1\r\nPort=" + QByteArray::number(port) +
                    "\r\nKey=0123456789abcdef0123456789abcdef\r\n";
    }
    auto crowd = std::make_shared<std::unique_ptr<test::TBandCrowd>>();
    auto attacks = std::make_shared<std::unique_ptr<test::TBandAttacks>>();
    Measure(
        state, settings,
        [files](const QTemporaryDir &dir) {
            for (int slot = 0; slot < files.size(); ++slot) {
                WriteSongbook(dir.filePath(files[slot]), 3 + slot % 4);
            }
        },
        QByteArray::fromHex("C000"),
        [band, attacked, port, crowd, attacks](TProgramUnderTest &program,
                                               std::vector<double> &samples) {
            if (band && !*crowd) {
                *crowd = std::make_unique<test::TBandCrowd>(port, 24, true);
            }
            if (attacked && !*attacks) {
                *attacks = std::make_unique<test::TBandAttacks>(port, true);
            }
            for (int slot = 1; slot < Songs; ++slot) {
                samples.push_back(program.Time(QByteArray::fromHex("C07E"), 1s));
            }
            program.SendAndSettle(QByteArray::fromHex("C000"));
        },
        SamplesForP99);
    if (band) {
        state.counters["band_content_fetched"] = (*crowd) ? (*crowd)->ContentFetched() : 0;
    }
    attacks->reset();
    crowd->reset();
}

void BM_OutsideNextPdf(benchmark::State &state)
{
    NextPdf(state, false);
}

void BM_OutsideNextPdfWithBand(benchmark::State &state)
{
    NextPdf(state, true);
}

void BM_OutsideNextPdfWithBandUnderAttack(benchmark::State &state)
{
    NextPdf(state, true, true);
}

// A Bank Select and a Program Change to another show each time: shows 1 and
// 2 take turns, each with its own file, so every selection reads a show.
void BankSelect(benchmark::State &state, bool fileDisplay)
{
    const auto entry = [fileDisplay](int show, int slot) {
        return fileDisplay ? QStringLiteral("chart%1.pdf /PAGE %2").arg(show).arg(slot % 3 + 1)
                           : QStringLiteral("Show %1, song %2: the chorus comes twice").arg(show).arg(slot);
    };
    QByteArray settings = ShowSettings(fileDisplay, {entry(0, 0)});
    settings += "[Shows]\r\nCount=3\r\nShow 1=0;;Home\r\nShow 2=1;shows/one.ini;One\r\n"
                "Show 3=2;shows/two.ini;Two\r\n";
    Measure(
        state, settings,
        [fileDisplay, entry](const QTemporaryDir &dir) {
            QDir(dir.path()).mkpath(QStringLiteral("shows"));
            for (int show : {1, 2}) {
                TShowContents contents;
                for (int slot = 0; slot < Songs; ++slot) {
                    (fileDisplay ? contents.Files : contents.Lines)[size_t(slot)] = entry(show, slot);
                }
                WriteBenchFile(dir,
                               show == 1 ? QStringLiteral("shows/one.ini")
                                         : QStringLiteral("shows/two.ini"),
                               ShowFileBytes({QString(), show}, contents));
                if (fileDisplay) {
                    WriteSongbook(dir.filePath(QStringLiteral("chart%1.pdf").arg(show)), 4);
                }
            }
            if (fileDisplay) {
                WriteSongbook(dir.filePath(QStringLiteral("chart0.pdf")), 4);
            }
        },
        QByteArray::fromHex("C000"),
        [](TProgramUnderTest &program, std::vector<double> &samples) {
            for (int slot = 1; slot < Songs; ++slot) {
                const char show = char(1 + slot % 2);
                const char message[] = {char(0xB0), 0, 0, char(0xB0), 32, show, char(0xC0),
                                        char(slot)};
                samples.push_back(program.Time(QByteArray(message, sizeof message), 300ms));
            }
            program.SendAndSettle(QByteArray::fromHex("B00000B02000C000"));
        },
        SamplesForP99);
}

void BM_OutsideBankTextLine(benchmark::State &state)
{
    BankSelect(state, false);
}

void BM_OutsideBankPdf(benchmark::State &state)
{
    BankSelect(state, true);
}

BENCHMARK(BM_OutsideTextLine)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutsidePdfPageTurn)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutsideNextRtf)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutsideBankTextLine)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutsideBankPdf)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutsideNextPdf)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutsideNextPdfWithBand)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutsideNextPdfWithBandUnderAttack)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The window is the program's; this process only writes the show's files.
    QApplication &app = test::CreateTestApplication(argc, argv);
    Q_UNUSED(app);
    return test::RunBenchmarksWithJackServer(argc, argv, "tarvello-outside");
}
