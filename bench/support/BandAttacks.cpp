#include "BandAttacks.h"

#include "support/BandClient.h"
#include "support/RawClients.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <chrono>
#include <functional>
#include <thread>

namespace tarvello::test {
namespace {

QHostAddress Loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}

void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

QByteArray Get(quint16 port, const QByteArray &target, const QByteArray &headers = {})
{
    return "GET " + target + " HTTP/1.1\r\n" + HostHeader(port) + headers + "\r\n";
}

} // namespace

TBandAttacks::TBandAttacks(quint16 port, bool aside)
{
    // `step` runs again and again until the object goes.
    const auto add = [this, aside](std::function<void()> step) {
        Threads.emplace_back(QThread::create([this, step = std::move(step)] {
            while (!Stop) {
                step();
            }
        }));
        Threads.back()->start(aside ? QThread::IdlePriority : QThread::InheritPriority);
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
}

TBandAttacks::~TBandAttacks()
{
    Stop = true;
    for (const auto &thread : Threads) {
        thread->wait();
    }
}

} // namespace tarvello::test
