#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QWebSocket>

#include <functional>

namespace tarvello::test {

struct THttpAnswer {
    int Status = 0; // 0: no answer (refused or closed)
    QByteArray Head;
    QByteArray Body;
};

// A port nobody listens on right now.
quint16 FreePort();

// "Host: 127.0.0.1:<port>" and the line's end, as a client names the server.
QByteArray HostHeader(quint16 port);

// Sends `request` as it stands to 127.0.0.1:port and reads one answer; the
// event loop runs while waiting.
// `from`: the address of this machine the request comes from (127.0.0.1 unless
// told), as another device on the network would have its own.
THttpAnswer HttpExchange(quint16 port, const QByteArray &request, int timeoutMs = 5000,
                         const QHostAddress &from = QHostAddress::LocalHost);
THttpAnswer HttpGet(quint16 port, const QByteArray &target,
                    const QHostAddress &from = QHostAddress::LocalHost);
// A POST with a JSON body; `key` empty sends no Authorization header.
THttpAnswer HttpPost(quint16 port, const QByteArray &target, const QByteArray &body,
                     const QByteArray &key = {});

// Lets the event loop run until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()> &condition, int milliseconds = 10000);

// A follower on /ws that keeps every state it receives.
class TFollowerClient : public QObject {
public:
    explicit TFollowerClient(quint16 port);
    bool WaitConnected();
    // The latest state received, and whether one with `key` == `value` came.
    QJsonObject Latest() const { return States.isEmpty() ? QJsonObject() : States.back(); }
    bool WaitFor(const std::function<bool(const QJsonObject &)> &matches, int ms = 10000);
    QWebSocket Socket;
    QList<QJsonObject> States;
};

} // namespace tarvello::test
