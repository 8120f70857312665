#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>

#include <functional>
#include <memory>

namespace tarvello::test {

// A WebSocket frame as a client sends it: masked unless told otherwise.
QByteArray ClientFrame(int opcode, const QByteArray &payload, bool masked = true);

// The request line's end and a handshake for /ws as a browser sends it.
QByteArray FollowerHandshake(quint16 port, const QByteArray &extraHeaders = {});

// A plain connection to the server on 127.0.0.1, made from `from`.
std::unique_ptr<QTcpSocket> RawConnection(quint16 port,
                                          const QHostAddress &from = QHostAddress::LocalHost);

// Writes what `next` gives for as long as the network takes it (nothing
// piles up on this side), for at most `ms`; returns the bytes taken. A server
// that stops reading stops this at what the network's buffers hold.
qint64 PushWhileTaken(QTcpSocket &socket, const std::function<QByteArray()> &next, int ms);

// The status of the first answer on `socket` (0 when none came in `ms`, or
// the connection closed first).
int FirstStatus(QTcpSocket &socket, int ms = 5000);

// A follower on /ws spoken to byte by byte over a plain socket, so that a test
// can do what a browser never does: stop reading, send frames of its own,
// come from another address of the loopback network.
class TRawFollower {
public:
    // Connects from `from` (127.0.0.1 unless told) and sends the handshake.
    explicit TRawFollower(quint16 port, const QHostAddress &from = QHostAddress::LocalHost,
                          const QByteArray &extraHeaders = {});

    // Reads nothing more from now on, as a phone whose browser hangs: the
    // server's writes pile up in the network's buffers until they are full.
    void Stall();
    // Reads again, and keeps reading.
    void Resume();
    // Takes what has arrived: the answer to the handshake, then the text of
    // each whole frame from the server.
    void Take();

    // The status of the answer to the handshake; 0 before it came.
    int HandshakeStatus() const { return Status; }
    bool Upgraded() const { return Status == 101; }
    bool Closed() const { return Socket.state() == QAbstractSocket::UnconnectedState; }
    QList<QByteArray> Texts;
    QTcpSocket Socket;

private:
    QByteArray Buffer;
    int Status = 0;
};

} // namespace tarvello::test
