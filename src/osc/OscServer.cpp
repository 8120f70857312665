#include "osc/OscServer.h"

#include "core/TarvelloError.h"
#include "osc/OscPublisher.h"
#include "osc/OscWire.h"

#include <QMetaObject>
#include <QNetworkDatagram>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <chrono>
#include <string>
#include <vector>

namespace tarvello {
namespace {

// Commands are a few dozen bytes; anything much larger is no command.
constexpr qint64 LargestDatagram = 4096;
constexpr std::chrono::seconds ReportEvery{1};

} // namespace

// Lives on the server's thread and owns the socket there.
class TOscReceiver : public QObject {
public:
    TOscReceiver(TOscServer &server, std::string key)
        : Server(&server), Key(std::move(key)), Pending(server.Pending), DropCount(server.DropCount)
    {
    }

    // On the server's thread: the socket, bound, or the reason it is not.
    QString Open(const QHostAddress &address, quint16 port)
    {
        Socket = new QUdpSocket(this);
        // Another program on the same port must not share the commands.
        if (!Socket->bind(address, port, QAbstractSocket::DontShareAddress)) {
            return Socket->errorString();
        }
        connect(Socket, &QUdpSocket::readyRead, this, [this] { Read(); });
        ReportTimer = new QTimer(this);
        ReportTimer->setSingleShot(true);
        connect(ReportTimer, &QTimer::timeout, this, [this] { Report(); });
        return QString();
    }

private:
    void Read()
    {
        while (Socket->hasPendingDatagrams()) {
            if (Socket->pendingDatagramSize() > LargestDatagram) {
                Socket->receiveDatagram(0);
                Drop(TOscDrop::Unreadable);
                continue;
            }
            Handle(Socket->receiveDatagram(LargestDatagram));
        }
    }

    void Handle(const QNetworkDatagram &datagram)
    {
        const std::optional<TOscMessage> message = ReadOscMessage(datagram.data());
        if (!message) {
            Drop(TOscDrop::Unreadable);
            return;
        }
        // Only this machine's own loopback address goes without the key: a
        // datagram from 127.0.0.2 may come from a forwarding or tunnelling
        // program that speaks for another host.
        const bool local = datagram.senderAddress().isEqual(QHostAddress(QHostAddress::LocalHost),
                                                            QHostAddress::ConvertV4MappedToIPv4);
        const TOscParsed parsed = ParseOscMessage(message->Path, message->Arguments, Key, !local);
        if (!parsed.Command) {
            Drop(parsed.Drop);
        } else if (parsed.Command->Verb == TOscVerb::Ping) {
            Socket->writeDatagram(OscPongMessage(), datagram.senderAddress(),
                                  quint16(datagram.senderPort()));
        } else if (Pending->load() >= TOscServer::MaxPending) {
            Drop(TOscDrop::Flood);
        } else {
            Pending->fetch_add(1);
            const TOscCommand command = *parsed.Command;
            QMetaObject::invokeMethod(
                Server, [server = Server, command] { server->Deliver(command); },
                Qt::QueuedConnection);
        }
    }

    void Drop(TOscDrop why)
    {
        DropCount->fetch_add(1);
        LastDrop = why;
        if (!ReportTimer->isActive()) {
            const auto now = std::chrono::steady_clock::now();
            const auto wait = LastReport + ReportEvery - now;
            ReportTimer->start(wait > std::chrono::steady_clock::duration::zero()
                                   ? std::chrono::ceil<std::chrono::milliseconds>(wait)
                                   : std::chrono::milliseconds::zero());
        }
    }

    void Report()
    {
        LastReport = std::chrono::steady_clock::now();
        const int total = DropCount->load();
        const QString why = OscDropText(LastDrop);
        QMetaObject::invokeMethod(
            Server, [server = Server, total, why] { emit server->DropsCounted(total, why); },
            Qt::QueuedConnection);
    }

    // The server outlives this object: it stops the thread before it goes.
    TOscServer *Server;
    const std::string Key;
    std::shared_ptr<std::atomic<int>> Pending;
    std::shared_ptr<std::atomic<int>> DropCount;
    QUdpSocket *Socket = nullptr;
    QTimer *ReportTimer = nullptr;
    TOscDrop LastDrop = TOscDrop::None;
    std::chrono::steady_clock::time_point LastReport{};
};

TOscServer::TOscServer(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("OscServer"));
}

TOscServer::~TOscServer()
{
    Stop();
}

void TOscServer::Start(const QHostAddress &address, quint16 port, const QString &key)
{
    // Another setting changed (the targets): the socket stays, and nothing on
    // its way is lost.
    if (Running() && address == ListenAddress && port == ListenPort && key == ListenKey) {
        return;
    }
    Stop();
    if (!address.isLoopback() && key.isEmpty()) {
        throw TError(QStringLiteral("OSC listens on %1 only with the band screens' key set")
                         .arg(address.toString()));
    }
    Thread = new QThread(this);
    Thread->setObjectName(QStringLiteral("OscServerThread"));
    Receiver = new TOscReceiver(*this, key.toStdString());
    Receiver->moveToThread(Thread);
    Thread->start();
    QString problem;
    QMetaObject::invokeMethod(
        Receiver, [&] { problem = Receiver->Open(address, port); }, Qt::BlockingQueuedConnection);
    if (!problem.isEmpty()) {
        Stop();
        throw TError(QStringLiteral("OSC cannot listen on %1 port %2: %3")
                         .arg(address.toString())
                         .arg(port)
                         .arg(problem));
    }
    ListenAddress = address;
    ListenPort = port;
    ListenKey = key;
}

void TOscServer::Stop()
{
    if (!Thread) {
        return;
    }
    // The socket goes on the thread it was made on, as that thread ends.
    Receiver->deleteLater();
    Receiver = nullptr;
    Thread->quit();
    Thread->wait();
    delete Thread;
    Thread = nullptr;
    ListenPort = 0;
}

void TOscServer::Deliver(const TOscCommand &command)
{
    Pending->fetch_sub(1);
    // Stopped meanwhile: what was on its way is not acted on.
    if (Receiver) {
        emit CommandReceived(command);
    }
}

} // namespace tarvello
