#include "band/BandHost.h"

#include "band/BandServer.h"

#include <QFileInfo>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThreadPool>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>

namespace tarvello {
namespace {

// A follower that has not taken what was sent for this long is gone.
constexpr qint64 BehindLimitMs = 10000;
// Followers hear the state again this often, so that a page can tell a dead
// connection from a quiet show.
constexpr int HeartbeatMs = 5000;
constexpr int SweepMs = 1000;
// Prepared content kept: the prompt shown, its neighbours and a few before.
constexpr std::size_t CachedPrompts = 12;

bool HasContent(const QString &kind)
{
    return kind == QLatin1String("text") || kind == QLatin1String("rtf") ||
           kind == QLatin1String("pdf") || kind == QLatin1String("picture") ||
           kind == QLatin1String("html");
}

qint64 Modified(const QString &file)
{
    return QFileInfo(file).lastModified().toMSecsSinceEpoch();
}

} // namespace

TBandHost::TBandHost(TBandServer &facade) : Facade(facade)
{
    Preparer.setMaxThreadCount(1);
}

TBandHost::~TBandHost()
{
    Preparer.clear();
    Preparer.waitForDone();
    Close();
}

QString TBandHost::Listen(quint16 port, const QByteArray &key)
{
    Close();
    Key = key;
    Tcp = new QTcpServer(this);
    Tcp->setMaxPendingConnections(TBandServer::MaxConnections);
    if (!Tcp->listen(QHostAddress::Any, port)) {
        const QString reason = Tcp->errorString();
        delete Tcp;
        Tcp = nullptr;
        return reason;
    }
    connect(Tcp, &QTcpServer::newConnection, this, &TBandHost::AcceptConnections);
    Ws = new QWebSocketServer(QStringLiteral("Tarvello"), QWebSocketServer::NonSecureMode, this);
    Ws->setMaxPendingConnections(TBandServer::MaxConnections);
    Ws->setHandshakeTimeout(std::chrono::seconds(10));
    connect(Ws, &QWebSocketServer::newConnection, this, &TBandHost::AcceptFollowers);
    SweepTimer = new QTimer(this);
    SweepTimer->setInterval(SweepMs);
    connect(SweepTimer, &QTimer::timeout, this, &TBandHost::Sweep);
    SweepTimer->start();
    return {};
}

void TBandHost::Close()
{
    for (TFollower &follower : Followers) {
        follower.Socket->disconnect(this);
        follower.Socket->abort();
        follower.Socket->deleteLater();
    }
    Followers.clear();
    for (QTcpSocket *socket : std::as_const(HttpSockets)) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    HttpSockets.clear();
    Handshaking.clear();
    delete SweepTimer;
    SweepTimer = nullptr;
    delete Ws; // with the sockets still in its handshake
    Ws = nullptr;
    delete Tcp;
    Tcp = nullptr;
}

int TBandHost::ConnectionCount() const
{
    return int(HttpSockets.size() + Handshaking.size() + Followers.size());
}

void TBandHost::AcceptConnections()
{
    while (Tcp && Tcp->hasPendingConnections()) {
        QTcpSocket *socket = Tcp->nextPendingConnection();
        if (ConnectionCount() >= TBandServer::MaxConnections) {
            socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n"
                          "Connection: close\r\n\r\n");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            continue;
        }
        HttpSockets.append(socket);
        // A request that has not come complete in this time is dropped, and
        // so is a kept-alive connection that stays quiet.
        auto *idle = new QTimer(socket);
        idle->setObjectName(QStringLiteral("idle"));
        idle->setSingleShot(true);
        idle->setInterval(10000);
        connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
        idle->start();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (HttpSockets.removeOne(socket)) {
                socket->deleteLater();
            }
        });
    }
}

void TBandHost::AcceptFollowers()
{
    while (Ws && Ws->hasPendingConnections()) {
        QWebSocket *socket = Ws->nextPendingConnection();
        // The connection it was made from no longer counts apart.
        Handshaking.removeIf([socket](const QPointer<QTcpSocket> &tcp) {
            return !tcp || (tcp->peerPort() == socket->peerPort() &&
                            tcp->peerAddress() == socket->peerAddress());
        });
        if (int(Followers.size()) >= TBandServer::MaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setMaxAllowedIncomingFrameSize(TBandServer::MaxMessageBytes);
        socket->setMaxAllowedIncomingMessageSize(TBandServer::MaxMessageBytes);
        Followers.append(TFollower{socket, false, {}});
        connect(socket, &QWebSocket::bytesWritten, this, [this, socket] { FollowerWrote(socket); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { DropFollower(socket); });
        SendState(Followers.back());
    }
}

void TBandHost::SendState(TFollower &follower)
{
    if (follower.Socket->bytesToWrite() > 0) {
        if (!follower.Behind) {
            follower.Behind = true;
            follower.BehindSince.start();
        }
        return;
    }
    follower.Behind = false;
    follower.Socket->sendTextMessage(QString::fromUtf8(StateJson));
}

void TBandHost::FollowerWrote(QWebSocket *socket)
{
    for (TFollower &follower : Followers) {
        if (follower.Socket == socket && follower.Behind && socket->bytesToWrite() == 0) {
            SendState(follower);
        }
    }
}

void TBandHost::DropFollower(QWebSocket *socket)
{
    const auto removed =
        Followers.removeIf([socket](const TFollower &f) { return f.Socket == socket; });
    if (removed > 0) {
        socket->deleteLater();
    }
}

void TBandHost::Sweep()
{
    Handshaking.removeIf([](const QPointer<QTcpSocket> &tcp) {
        return !tcp || tcp->state() != QAbstractSocket::ConnectedState;
    });
    const bool heartbeat = ++SweepTicks % (HeartbeatMs / SweepMs) == 0;
    const QList<TFollower> followers = Followers;
    for (const TFollower &follower : followers) {
        if (follower.Behind && follower.BehindSince.elapsed() > BehindLimitMs) {
            follower.Socket->abort();
        }
    }
    if (heartbeat) {
        for (TFollower &follower : Followers) {
            SendState(follower);
        }
    }
}

void TBandHost::Publish(const TBandState &state, const QList<TBandPrompt> &neighbours)
{
    {
        QMutexLocker locker(&Lock);
        const TBandPrompt prompt{state.Kind, state.File, state.Page};
        if (!(prompt == ContentPrompt)) {
            ContentPrompt = prompt;
            ++ContentId;
        }
        State = state;
        Neighbours = neighbours;
        ++Seq;
    }
    if (!BroadcastQueued.exchange(true)) {
        QMetaObject::invokeMethod(this, &TBandHost::Broadcast, Qt::QueuedConnection);
    }
}

void TBandHost::PublishSlots(const QStringList &names)
{
    const QByteArray json = BandSlotsJson(names);
    QMutexLocker locker(&Lock);
    SlotsJson = json;
}

void TBandHost::Broadcast()
{
    BroadcastQueued = false;
    {
        QMutexLocker locker(&Lock);
        const QString content = HasContent(ContentPrompt.Kind)
                                    ? QStringLiteral("/content/%1").arg(ContentId)
                                    : QString();
        StateJson = BandStateJson(State, Seq, content);
    }
    for (TFollower &follower : Followers) {
        SendState(follower);
    }
    PrepareContent();
}

const TBandContent *TBandHost::Cached(const TBandPrompt &prompt, int width) const
{
    const int cacheWidth = prompt.Kind == QLatin1String("pdf") ? BandPageWidth(width) : 0;
    const qint64 modified = Modified(prompt.File);
    for (const TCached &cached : Cache) {
        if (cached.Prompt == prompt && cached.Width == cacheWidth && cached.Modified == modified) {
            return &cached.Content;
        }
    }
    return nullptr;
}

void TBandHost::Store(const TBandPrompt &prompt, int width, qint64 modified, TBandContent made)
{
    const int cacheWidth = prompt.Kind == QLatin1String("pdf") ? BandPageWidth(width) : 0;
    Cache.push_front(TCached{prompt, cacheWidth, modified, std::move(made)});
    if (Cache.size() > CachedPrompts) {
        Cache.pop_back();
    }
}

const TBandContent *TBandHost::Content(const TBandPrompt &prompt, int width)
{
    if (const TBandContent *cached = Cached(prompt, width)) {
        return cached;
    }
    const qint64 modified = Modified(prompt.File);
    TBandContent made = MakeBandContent(prompt, width);
    if (!made.Made) {
        return nullptr;
    }
    Store(prompt, width, modified, std::move(made));
    return &Cache.front().Content;
}

void TBandHost::PrepareContent()
{
    // The prompt shown first, then where the show may go next, as the stage
    // view prepares its neighbours. They are made on the pool's thread, so
    // that a large page never holds up the next state.
    QList<TBandPrompt> prompts;
    {
        QMutexLocker locker(&Lock);
        prompts.append(ContentPrompt);
        prompts.append(Neighbours);
    }
    const int width = LastWidth;
    for (const TBandPrompt &prompt : std::as_const(prompts)) {
        if (!HasContent(prompt.Kind) || Cached(prompt, width)) {
            continue;
        }
        const qint64 modified = Modified(prompt.File);
        Preparer.start([this, prompt, width, modified] {
            TBandContent made = MakeBandContent(prompt, width);
            if (!made.Made) {
                return;
            }
            QMetaObject::invokeMethod(
                this,
                [this, prompt, width, modified, made = std::move(made)]() mutable {
                    if (!Cached(prompt, width)) {
                        Store(prompt, width, modified, std::move(made));
                    }
                },
                Qt::QueuedConnection);
        });
    }
}

} // namespace tarvello
