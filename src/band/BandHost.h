#pragma once

#include "band/BandContent.h"
#include "band/BandState.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <deque>

class QTcpServer;
class QTcpSocket;
class QTimer;
class QWebSocket;
class QWebSocketServer;

namespace tarvello {

class TBandServer;
struct THttpRequest;

// The band server's working half, on the server's own thread: the listening
// socket, the HTTP connections, the WebSocket followers and the content
// cache. Only Publish and PublishSlots are called from other threads.
class TBandHost : public QObject {
    Q_OBJECT

public:
    explicit TBandHost(TBandServer &facade);
    ~TBandHost() override;

    // On the host's thread: listen, or give the reason why not.
    QString Listen(quint16 port, const QByteArray &key);
    void Close();

    // Any thread.
    void Publish(const TBandState &state, const QList<TBandPrompt> &neighbours);
    void PublishSlots(const QStringList &names);

private:
    struct TFollower {
        QWebSocket *Socket = nullptr;
        // The state the follower has not taken yet waits here, only the
        // latest.
        bool Behind = false;
        QElapsedTimer BehindSince;
    };
    struct TCached {
        TBandPrompt Prompt;
        int Width = 0;
        qint64 Modified = 0;
        TBandContent Content;
    };

    // Connections (BandHost.cpp).
    void AcceptConnections();
    int ConnectionCount() const;
    void AcceptFollowers();
    void SendState(TFollower &follower);
    void FollowerWrote(QWebSocket *socket);
    void DropFollower(QWebSocket *socket);
    void Sweep();
    void Broadcast();

    // HTTP (BandHttp.cpp).
    void ReadRequests(QTcpSocket *socket);
    void Answer(QTcpSocket *socket, const THttpRequest &request);
    void AnswerCommand(QTcpSocket *socket, const THttpRequest &request, bool keepAlive);
    void AnswerContent(QTcpSocket *socket, const THttpRequest &request, bool keepAlive);
    void Respond(QTcpSocket *socket, int status, const QByteArray &type, const QByteArray &body,
                 bool keepAlive, const QByteArray &policy = {});
    void Upgrade(QTcpSocket *socket);

    // Content (BandHost.cpp).
    const TBandContent *Content(const TBandPrompt &prompt, int width);
    const TBandContent *Cached(const TBandPrompt &prompt, int width) const;
    void Store(const TBandPrompt &prompt, int width, qint64 modified, TBandContent made);
    void PrepareContent();

    TBandServer &Facade;
    QByteArray Key;
    QTcpServer *Tcp = nullptr;
    QWebSocketServer *Ws = nullptr;
    QTimer *SweepTimer = nullptr;
    int SweepTicks = 0;
    QList<QTcpSocket *> HttpSockets;
    QList<QPointer<QTcpSocket>> Handshaking;
    QList<TFollower> Followers;
    std::deque<TCached> Cache;
    int LastWidth = 1280;
    QThreadPool Preparer;

    // Published from other threads: the latest only.
    mutable QMutex Lock;
    TBandState State;
    QList<TBandPrompt> Neighbours;
    QByteArray SlotsJson = "[]";
    qint64 Seq = 0;
    qint64 ContentId = 0;
    TBandPrompt ContentPrompt;
    std::atomic<bool> BroadcastQueued{false};
    // The host thread's copy of the state sent.
    QByteArray StateJson;
};

} // namespace tarvello
