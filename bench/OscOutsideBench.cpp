// OSC from outside, as a cue program or a console sees it: the built program
// runs in a real window on a private X server with OSC on, this process sends
// datagrams to it from loopback and four targets listen for what it sends back.
// The release window is 0 ms; text lines are shown.
//   BM_OscSlotToPixels      /tarvello/slot i n sent, to the first changed pixel
//   BM_OscSlotToFourTargets /tarvello/slot i n sent, to /tarvello/current
//                           received by all four targets
// Counters: median_ms, p99_ms (over at least 500 sends), max_ms, samples and
// missed (sends not answered within 2 s, counted as slower than all). The
// program is the one built beside this benchmark; TARVELLO_PROGRAM names another.

#include "osc/OscWire.h"
#include "support/OscPeer.h"
#include "support/QtTestEnvironment.h"

#include "BenchFiles.h"
#include "BenchJackMain.h"
#include "ProgramProcess.h"
#include "ScreenWatch.h"

#include <QApplication>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

using namespace tarvello;
using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

namespace {

const QRect WindowBounds(0, 0, 900, 600);
constexpr int Songs = 30;
constexpr size_t Samples = 500;
constexpr int Targets = 4;

test::TPrivateXServer &XServer()
{
    static test::TPrivateXServer server;
    return server;
}

QByteArray OscSettings(quint16 port,
                       const std::array<std::unique_ptr<QUdpSocket>, Targets> &targets)
{
    QByteArray ini = "[Font]\r\nName=DejaVu Sans\r\nSize=40\r\n[Screen]\r\nTop=0\r\nLeft=0\r\n"
                     "Height=" +
                     QByteArray::number(WindowBounds.height()) +
                     "\r\nWidth=" + QByteArray::number(WindowBounds.width()) +
                     "\r\n[Setting]\r\nTouchPad=0\r\nDisplayType=0\r\n"
                     "[Stage]\r\nReleaseWindow=0\r\n[OSC]\r\nEnabled=1\r\nPort=" +
                     QByteArray::number(port) + "\r\nTargets=";
    for (const auto &target : targets) {
        ini += "127.0.0.1:" + QByteArray::number(target->localPort()) + ",";
    }
    ini += "\r\n[Lines]\r\n";
    for (int slot = 0; slot < Songs; ++slot) {
        ini += "Text " + QByteArray::number(slot + 1) + "=Song " + QByteArray::number(slot) +
               ": the chorus comes twice\r\n";
    }
    return ini;
}

// The program with OSC on, its four targets and a sender.
class TOscProgram {
public:
    TOscProgram()
    {
        for (auto &target : TargetSockets) {
            target = std::make_unique<QUdpSocket>();
            target->bind(QHostAddress(QHostAddress::LocalHost), 0);
        }
        Sender.bind(QHostAddress(QHostAddress::LocalHost), 0);
        Port = test::FreeUdpPort();
        const QByteArray chosen = qgetenv("TARVELLO_PROGRAM");
        const QString program = Dir.filePath(QStringLiteral("Tarvello"));
        if (!QFile::copy(chosen.isEmpty() ? QStringLiteral(TARVELLO_PROGRAM)
                                          : QString::fromLocal8Bit(chosen),
                         program)) {
            return;
        }
        WriteBenchFile(Dir, QStringLiteral("Tarvello.INI"), OscSettings(Port, TargetSockets));
        // A show with its MIDI strings file, so the start raises no box over
        // the window that is watched.
        WriteBenchFile(Dir, QStringLiteral("MidiStrings.txt"), MidiStringsOfNoSlot());
        if (!StartProgramOnDisplay(Process, program, Dir.path(), XServer().DisplayName())) {
            return;
        }
        Watch = std::make_unique<test::TScreenWatch>(XServer().DisplayName(), WindowBounds);
        Watch->WaitUntilStill(500ms, 20s);
        Started = Watch->Ready();
    }

    ~TOscProgram()
    {
        Watch.reset();
        EndProgram(Process);
    }

    void Send(int slot)
    {
        Sender.writeDatagram(test::OscBytes("/tarvello/slot", {test::OscInt(slot)}),
                             QHostAddress(QHostAddress::LocalHost), Port);
    }

    // Milliseconds from the send to the first changed pixel, -1 for none.
    double TimeToPixels(int slot)
    {
        const auto before = Watch->Grab();
        const auto sent = TClock::now();
        Send(slot);
        const bool changed = Watch->WaitForChange(before, 2s, 500us);
        const auto seen = TClock::now();
        Watch->WaitUntilStill(100ms, 5s);
        return changed ? std::chrono::duration<double, std::milli>(seen - sent).count() : -1;
    }

    // Milliseconds from the send to /tarvello/current with that slot at all
    // four targets, -1 when one did not hear it.
    double TimeToTargets(int slot)
    {
        for (auto &target : TargetSockets) {
            while (target->hasPendingDatagrams()) {
                target->receiveDatagram();
            }
        }
        const auto sent = TClock::now();
        Send(slot);
        std::array<bool, Targets> heard{};
        auto last = sent;
        while (TClock::now() - sent < 2s &&
               !std::all_of(heard.begin(), heard.end(), [](bool h) { return h; })) {
            for (int i = 0; i < Targets; ++i) {
                if (heard[size_t(i)] || !TargetSockets[size_t(i)]->waitForReadyRead(0)) {
                    continue;
                }
                while (TargetSockets[size_t(i)]->hasPendingDatagrams()) {
                    const auto message =
                        ReadOscMessage(TargetSockets[size_t(i)]->receiveDatagram().data());
                    if (message && message->Arguments.size() == 4 &&
                        message->Arguments[1].Int == slot) {
                        heard[size_t(i)] = true;
                        last = TClock::now();
                    }
                }
            }
            std::this_thread::sleep_for(100us);
        }
        std::this_thread::sleep_for(50ms);
        if (!std::all_of(heard.begin(), heard.end(), [](bool h) { return h; })) {
            return -1;
        }
        return std::chrono::duration<double, std::milli>(last - sent).count();
    }

    bool Started = false;

private:
    QTemporaryDir Dir;
    QProcess Process;
    std::array<std::unique_ptr<QUdpSocket>, Targets> TargetSockets;
    QUdpSocket Sender;
    quint16 Port = 0;
    std::unique_ptr<test::TScreenWatch> Watch;
};

void Report(benchmark::State &state, std::vector<double> samples)
{
    const auto missed =
        std::count_if(samples.begin(), samples.end(), [](double ms) { return ms < 0; });
    if (size_t(missed) == samples.size()) {
        state.SkipWithError("nothing was answered");
        return;
    }
    for (double &ms : samples) {
        ms = ms < 0 ? std::numeric_limits<double>::infinity() : ms;
    }
    std::sort(samples.begin(), samples.end());
    const auto rank = [&samples](double share) {
        return samples[std::min(samples.size() - 1,
                                size_t(std::ceil(share * double(samples.size())) - 1))];
    };
    state.SetIterationTime(std::isfinite(rank(0.5)) ? rank(0.5) / 1000 : 2.0);
    state.counters["median_ms"] = rank(0.5);
    state.counters["p99_ms"] = rank(0.99);
    state.counters["max_ms"] = samples[samples.size() - 1 - size_t(missed)];
    state.counters["samples"] = double(samples.size());
    state.counters["missed"] = double(missed);
}

template <class Time> void Measure(benchmark::State &state, Time time)
{
    if (!XServer().Running()) {
        state.SkipWithError("no Xvfb");
        return;
    }
    for (auto _ : state) {
        TOscProgram program;
        if (!program.Started) {
            state.SkipWithError("the program did not start");
            return;
        }
        std::vector<double> samples;
        while (samples.size() < Samples) {
            for (int slot = 1; slot < Songs && samples.size() < Samples; ++slot) {
                samples.push_back(time(program, slot));
            }
            time(program, 0);
        }
        Report(state, samples);
    }
}

void BM_OscSlotToPixels(benchmark::State &state)
{
    Measure(state, [](TOscProgram &program, int slot) { return program.TimeToPixels(slot); });
}

void BM_OscSlotToFourTargets(benchmark::State &state)
{
    Measure(state, [](TOscProgram &program, int slot) { return program.TimeToTargets(slot); });
}

BENCHMARK(BM_OscSlotToPixels)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OscSlotToFourTargets)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication &app = test::CreateTestApplication(argc, argv);
    Q_UNUSED(app);
    return test::RunBenchmarksWithJackServer(argc, argv, "tarvello-osc");
}
