// Band screens under attack for a minute, against the built program running a
// PDF show with band screens on: 24 honest followers (three addresses) and the
// leader's remote (a keyed POST /api/value four times a second) while every
// attack found from outside runs at once, each from its own loopback address:
// handshakes closed at once, pings never read, chunked bodies without end,
// pipelined requests never read, followers that talk, a cycler of picture
// widths, foreign origins and host names, connections that never finish their
// request, one-byte dribblers and malformed framing.
// Counters: memory_growth_mb (the program's resident memory, highest during the
// attack less before it), push_median_ms and push_p99_ms (from the leader's
// POST to each honest follower's state), pushes and missed_pushes (not there
// within 2 s), posts and posts_204, program_cpu_percent (of one core).
// TARVELLO_PROGRAM names another build of the program.

#include "BandAttacks.h"
#include "BandCrowd.h"
#include "BenchFiles.h"
#include "support/BandClient.h"
#include "support/QtTestEnvironment.h"
#include "support/RawClients.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace tarvello;
using namespace tarvello::test;
using TClock = std::chrono::steady_clock;

namespace {

const QByteArray Key = "0123456789abcdef0123456789abcdef";
constexpr int Charts = 8;
constexpr int HonestFollowers = 24;
constexpr auto AttackTime = std::chrono::seconds(60);

QString ProgramPath()
{
    const QByteArray chosen = qgetenv("TARVELLO_PROGRAM");
    return chosen.isEmpty() ? QStringLiteral(TARVELLO_PROGRAM) : QString::fromLocal8Bit(chosen);
}

// The program with a show of PDF charts and band screens on `port`.
class TProgram {
public:
    explicit TProgram(quint16 port) : Port(port)
    {
        const QString program = Dir.filePath(QStringLiteral("Tarvello"));
        QFile::copy(ProgramPath(), program);
        QByteArray ini =
            "[Setting]\r\nTouchPad=0\r\nDisplayType=1\r\n[Screen]\r\nTop=0\r\nLeft=0\r\n"
            "Height=600\r\nWidth=900\r\n[Stage]\r\nReleaseWindow=0\r\n[Files]\r\n";
        for (int slot = 0; slot < Charts; ++slot) {
            const QString chart = QStringLiteral("chart%1.pdf").arg(slot);
            WriteSongbook(Dir.filePath(chart), 4);
            ini += "Names " + QByteArray::number(slot + 1) + "=" + chart.toUtf8() + " /PAGE " +
                   QByteArray::number(slot % 3 + 1) + "\r\n";
        }
        ini +=
            "[Band]\r\nEnabled=1\r\nPort=" + QByteArray::number(port) + "\r\nKey=" + Key + "\r\n";
        WriteBenchFile(Dir, QStringLiteral("Tarvello.INI"), ini);
        WriteBenchFile(Dir, QStringLiteral("MidiStrings.txt"), QByteArray());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
        environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"), QStringLiteral("tarvello-none"));
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        Process.setProcessEnvironment(environment);
        Process.setWorkingDirectory(Dir.path());
        Process.setStandardOutputFile(QProcess::nullDevice());
        Process.setStandardErrorFile(QProcess::nullDevice());
        Process.start(program, {});
        Started = Process.waitForStarted(5000) &&
                  WaitUntil([&] { return HttpGet(port, "/api/state").Status == 200; }, 30000);
    }

    ~TProgram()
    {
        Process.terminate();
        if (!Process.waitForFinished(10000)) {
            Process.kill();
            Process.waitForFinished(5000);
        }
    }

    // Resident memory in megabytes.
    double ResidentMb() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(Process.processId()));
        if (!status.open(QIODevice::ReadOnly)) {
            return 0;
        }
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
            }
        }
        return 0;
    }

    // Seconds of processor time used so far.
    double CpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(Process.processId()));
        if (!stat.open(QIODevice::ReadOnly)) {
            return 0;
        }
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        return (fields.value(11).toDouble() + fields.value(12).toDouble()) / 100.0;
    }

    bool Started = false;

private:
    QTemporaryDir Dir;
    QProcess Process;
    quint16 Port;
};

void BM_BandUnderAttack(benchmark::State &state)
{
    for (auto _ : state) {
        const quint16 port = FreePort();
        TProgram program(port);
        if (!program.Started) {
            state.SkipWithError("the program did not start with band screens");
            return;
        }
        auto followers = std::make_unique<TBandCrowd>(port, HonestFollowers, false);
        auto leader = RawConnection(port);
        int posts = 0;
        int answered = 0;
        int slot = 1;
        std::vector<double> pushes;
        int missed = 0;
        // One command: the time from its sending to each follower's state.
        const auto command = [&](bool measured) {
            slot = slot % Charts + 1;
            followers->Await(slot);
            const auto sent = TClock::now();
            const QByteArray body = "{\"value\": " + QByteArray::number(slot) + "}";
            if (leader->state() != QAbstractSocket::ConnectedState) {
                leader = RawConnection(port);
            }
            leader->write(
                "POST /api/value HTTP/1.1\r\n" + HostHeader(port) + "Authorization: Bearer " + Key +
                "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            const int status = FirstStatus(*leader, 2000);
            leader->readAll();
            QElapsedTimer wait;
            wait.start();
            std::vector<TClock::time_point> times;
            do {
                QThread::msleep(5);
                times = followers->Arrivals();
            } while (wait.elapsed() < 2000 &&
                     std::count(times.begin(), times.end(), TClock::time_point()) > 0);
            if (!measured) {
                return;
            }
            ++posts;
            answered += status == 204 ? 1 : 0;
            for (const auto &time : times) {
                if (time == TClock::time_point()) {
                    ++missed;
                } else {
                    pushes.push_back(
                        std::chrono::duration<double, std::milli>(time - sent).count());
                }
            }
            std::this_thread::sleep_for(
                std::chrono::milliseconds(250) -
                std::min(
                    std::chrono::milliseconds(250),
                    std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - sent)));
        };
        for (int i = 0; i < 2 * Charts; ++i) {
            command(false); // every chart shown once before
        }
        const double before = program.ResidentMb();
        const double cpuBefore = program.CpuSeconds();
        double highest = before;
        {
            const TBandAttacks attacks(port, false);
            const auto end = TClock::now() + AttackTime;
            while (TClock::now() < end) {
                command(true);
                highest = std::max(highest, program.ResidentMb());
            }
        }
        const double cpu = program.CpuSeconds() - cpuBefore;
        followers.reset();

        std::sort(pushes.begin(), pushes.end());
        const auto rank = [&pushes](double share) {
            return pushes.empty() ? 0.0
                                  : pushes[std::min(
                                        pushes.size() - 1,
                                        std::size_t(std::ceil(share * double(pushes.size())) - 1))];
        };
        state.SetIterationTime(std::chrono::duration<double>(AttackTime).count());
        state.counters["memory_growth_mb"] = highest - before;
        state.counters["push_median_ms"] = rank(0.5);
        state.counters["push_p99_ms"] = rank(0.99);
        state.counters["pushes"] = double(pushes.size());
        state.counters["missed_pushes"] = double(missed);
        state.counters["posts"] = posts;
        state.counters["posts_204"] = answered;
        state.counters["program_cpu_percent"] =
            100 * cpu / std::chrono::duration<double>(AttackTime).count();
    }
}
BENCHMARK(BM_BandUnderAttack)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    CreateTestApplication(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
