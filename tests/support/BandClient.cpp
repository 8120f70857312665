#include "support/BandClient.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace tarvello::test {

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::Any, 0);
    return probe.serverPort();
}

bool WaitUntil(const std::function<bool()> &condition, int milliseconds)
{
    return WaitFor(condition, milliseconds);
}

namespace {

// Whether `bytes` hold one whole answer: the head, and the body its
// Content-Length names.
bool Complete(const QByteArray &bytes, THttpAnswer &answer)
{
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0) {
        return false;
    }
    answer.Head = bytes.left(end);
    answer.Status = bytes.mid(9, 3).toInt();
    qsizetype length = 0;
    for (const QByteArray &line : answer.Head.split('\n')) {
        if (line.toLower().startsWith("content-length:")) {
            length = line.mid(15).trimmed().toLongLong();
        }
    }
    if (bytes.size() < end + 4 + length) {
        return false;
    }
    answer.Body = bytes.mid(end + 4, length);
    return true;
}

} // namespace

THttpAnswer HttpExchange(quint16 port, const QByteArray &request, int timeoutMs,
                         const QHostAddress &from)
{
    QTcpSocket socket;
    socket.bind(from);
    socket.connectToHost(QHostAddress::LocalHost, port);
    THttpAnswer answer;
    // Refused at once when nothing listens; the server answers from its own
    // thread, so this one may wait.
    if (!socket.waitForConnected(timeoutMs)) {
        return answer;
    }
    socket.write(request);
    QByteArray received;
    WaitUntil(
        [&] {
            received += socket.readAll();
            THttpAnswer whole;
            if (Complete(received, whole)) {
                answer = whole;
                return true;
            }
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
    return answer;
}

QByteArray HostHeader(quint16 port)
{
    return "Host: 127.0.0.1:" + QByteArray::number(port) + "\r\n";
}

THttpAnswer HttpGet(quint16 port, const QByteArray &target, const QHostAddress &from)
{
    return HttpExchange(port, "GET " + target + " HTTP/1.1\r\n" + HostHeader(port) + "\r\n", 5000,
                        from);
}

THttpAnswer HttpPost(quint16 port, const QByteArray &target, const QByteArray &body,
                     const QByteArray &key)
{
    QByteArray request =
        "POST " + target + " HTTP/1.1\r\n" + HostHeader(port) +
        "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\n";
    if (!key.isEmpty()) {
        request += "Authorization: Bearer " + key + "\r\n";
    }
    return HttpExchange(port, request + "\r\n" + body);
}

TFollowerClient::TFollowerClient(quint16 port)
{
    connect(&Socket, &QWebSocket::textMessageReceived, this, [this](const QString &message) {
        States.append(QJsonDocument::fromJson(message.toUtf8()).object());
    });
    Socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port)));
}

bool TFollowerClient::WaitConnected()
{
    return WaitUntil([this] { return !States.isEmpty(); });
}

bool TFollowerClient::WaitFor(const std::function<bool(const QJsonObject &)> &matches, int ms)
{
    return WaitUntil([&] { return !States.isEmpty() && matches(States.back()); }, ms);
}

} // namespace tarvello::test
