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

QHostAddress Loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}

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

// 24 followers on a thread of their own, each noting when the state of the
// slot awaited reached it.
class THonestFollowers : public QObject {
public:
    std::atomic<int> Awaited{-1};

    void Open(quint16 port)
    {
        for (int i = 0; i < HonestFollowers; ++i) {
            auto follower = std::make_unique<TRawFollower>(port, Loopback(10 + i / 8));
            TRawFollower *raw = follower.get();
            connect(&raw->Socket, &QTcpSocket::readyRead, this, [this, raw] { Received(*raw); });
            Followers.push_back(std::move(follower));
            Seen.push_back(0);
        }
    }

    // When each follower had the awaited slot (empty time: not yet).
    std::vector<TClock::time_point> Arrivals()
    {
        const std::lock_guard lock(Lock);
        return Times;
    }
    void Await(int slot)
    {
        const std::lock_guard lock(Lock);
        Times.assign(HonestFollowers, TClock::time_point());
        Awaited = slot;
    }

private:
    void Received(TRawFollower &follower)
    {
        const auto now = TClock::now();
        follower.Take();
        const std::size_t index =
            std::size_t(std::find_if(Followers.begin(), Followers.end(),
                                     [&](const auto &f) { return f.get() == &follower; }) -
                        Followers.begin());
        const std::lock_guard lock(Lock);
        for (; Seen[index] < std::size_t(follower.Texts.size()); ++Seen[index]) {
            const int slot = QJsonDocument::fromJson(follower.Texts[qsizetype(Seen[index])])
                                 .object()["slot"]
                                 .toInt();
            if (slot == Awaited && index < Times.size() && Times[index] == TClock::time_point()) {
                Times[index] = now;
            }
        }
        follower.Texts.clear();
        Seen[index] = 0;
    }

    std::vector<std::unique_ptr<TRawFollower>> Followers;
    std::vector<std::size_t> Seen;
    std::mutex Lock;
    std::vector<TClock::time_point> Times;
};

// One attack: `step` runs again and again on a thread of its own until the
// minute is over.
class TAttack {
public:
    TAttack(std::atomic<bool> &stop, std::function<void()> step)
        : Thread([&stop, step = std::move(step)] {
              while (!stop) {
                  step();
              }
          })
    {
    }
    ~TAttack() { Thread.join(); }

private:
    std::thread Thread;
};

void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

QByteArray Get(quint16 port, const QByteArray &target, const QByteArray &headers = {})
{
    return "GET " + target + " HTTP/1.1\r\n" + HostHeader(port) + headers + "\r\n";
}

// Every attack at once, each from an address of its own.
std::vector<std::unique_ptr<TAttack>> Attack(quint16 port, std::atomic<bool> &stop)
{
    std::vector<std::unique_ptr<TAttack>> attacks;
    const auto add = [&](std::function<void()> step) {
        attacks.push_back(std::make_unique<TAttack>(stop, std::move(step)));
    };
    // Handshakes with a close frame behind them, the connection gone at once.
    add([port] {
        static int next = 0;
        auto socket = RawConnection(port, Loopback(20 + next++ % 4));
        socket->write(FollowerHandshake(port) + ClientFrame(0x8, QByteArray("\x03\xe8", 2)));
        socket->waitForBytesWritten(100);
        socket->abort();
        Pause(10);
    });
    // Pings never read; chunked bodies without end; pipelined requests never read.
    const QByteArray pings = ClientFrame(0x9, "ping").repeated(4096);
    const QByteArray pipelined = Get(port, "/api/state").repeated(2000);
    const QByteArray chunked =
        "POST /api/value HTTP/1.1\r\n" + HostHeader(port) + "Transfer-Encoding: chunked\r\n\r\n1;";
    for (int i = 0; i < 4; ++i) {
        add([port, pings, i] {
            TRawFollower follower(port, Loopback(24));
            PushWhileTaken(
                follower.Socket, [&] { return pings; }, 5000 + i);
        });
        add([port, chunked] {
            auto socket = RawConnection(port, Loopback(25));
            socket->write(chunked);
            PushWhileTaken(
                *socket, [] { return QByteArray(65536, 'x'); }, 5000);
        });
        add([port, pipelined] {
            auto socket = RawConnection(port, Loopback(26));
            PushWhileTaken(
                *socket, [&] { return pipelined; }, 5000);
        });
    }
    // Followers that talk, one small message after another.
    for (int i = 0; i < 8; ++i) {
        add([port] {
            TRawFollower talker(port, Loopback(27));
            talker.Socket.waitForReadyRead(1000);
            while (talker.Socket.state() == QAbstractSocket::ConnectedState) {
                talker.Socket.write(ClientFrame(0x1, "hi"));
                talker.Socket.waitForBytesWritten(100);
                talker.Socket.readAll();
                Pause(1);
            }
        });
    }
    // A cycler of widths for the PDF page shown.
    add([port] {
        auto socket = RawConnection(port, Loopback(28));
        const QByteArray content = QJsonDocument::fromJson(HttpGet(port, "/api/state").Body)
                                       .object()["content"]
                                       .toString()
                                       .toLatin1();
        socket->write(Get(
            port,
            content + "?w=" + QByteArray::number(320 + QRandomGenerator::global()->bounded(2000))));
        FirstStatus(*socket, 2000);
        Pause(50);
    });
    // Foreign origins and host names; framing no browser sends.
    add([port] {
        for (const QByteArray &request :
             {FollowerHandshake(port, "Origin: http://evil.example\r\n"),
              QByteArray("GET /api/state HTTP/1.1\r\nHost: evil.example\r\n\r\n"),
              "POST /api/value HTTP/1.1\r\n" + HostHeader(port) +
                  "Transfer-Encoding: gzip\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
              "POST /api/value HTTP/1.1\r\n" + HostHeader(port) +
                  "Expect: 100-continue\r\nContent-Length: 3000\r\n\r\n"}) {
            auto socket = RawConnection(port, Loopback(29));
            socket->write(request);
            FirstStatus(*socket, 500);
        }
        TRawFollower unmasked(port, Loopback(29));
        unmasked.Socket.waitForReadyRead(500);
        unmasked.Socket.write(ClientFrame(0x1, "x", false));
        unmasked.Socket.waitForDisconnected(500);
        Pause(20);
    });
    // Connections that never finish their request, from ten addresses, and
    // one-byte dribblers of long headers from eight more.
    add([port] {
        std::vector<std::unique_ptr<QTcpSocket>> slow;
        std::vector<std::unique_ptr<QTcpSocket>> dribblers;
        for (int round = 0; round < 20; ++round) {
            std::erase_if(
                slow, [](const auto &s) { return s->state() != QAbstractSocket::ConnectedState; });
            for (int address = 40; slow.size() < 80; address = 40 + (address - 39) % 10) {
                slow.push_back(RawConnection(port, Loopback(address)));
                slow.back()->write("GET / HTTP/1.1\r\n");
            }
            std::erase_if(dribblers, [](const auto &s) {
                return s->state() != QAbstractSocket::ConnectedState;
            });
            while (dribblers.size() < 60) {
                dribblers.push_back(RawConnection(port, Loopback(50 + int(dribblers.size()) % 8)));
                dribblers.back()->write("GET / HTTP/1.1\r\n" + HostHeader(port) + "X-Long: ");
            }
            for (int tick = 0; tick < 10; ++tick) {
                for (auto &dribbler : dribblers) {
                    dribbler->write("a");
                    dribbler->flush();
                }
                for (auto &s : slow) {
                    s->readAll();
                }
                Pause(10);
            }
        }
    });
    return attacks;
}

void BM_BandUnderAttack(benchmark::State &state)
{
    for (auto _ : state) {
        const quint16 port = FreePort();
        TProgram program(port);
        if (!program.Started) {
            state.SkipWithError("the program did not start with band screens");
            return;
        }
        QThread followerThread;
        followerThread.start();
        auto *followers = new THonestFollowers;
        followers->moveToThread(&followerThread);
        QMetaObject::invokeMethod(
            followers, [&] { followers->Open(port); }, Qt::BlockingQueuedConnection);
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
        std::atomic<bool> stop{false};
        {
            const auto attacks = Attack(port, stop);
            const auto end = TClock::now() + AttackTime;
            while (TClock::now() < end) {
                command(true);
                highest = std::max(highest, program.ResidentMb());
            }
            stop = true;
        }
        const double cpu = program.CpuSeconds() - cpuBefore;
        QMetaObject::invokeMethod(
            followers, [followers] { delete followers; }, Qt::BlockingQueuedConnection);
        followerThread.quit();
        followerThread.wait();

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
