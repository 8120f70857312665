#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>

namespace tarvello::test {

// A WebSocket frame as a client sends it: masked unless told otherwise.
QByteArray ClientFrame(int opcode, const QByteArray &payload, bool masked = true);

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

    bool Upgraded() const { return Status == 101; }
    bool Closed() const { return Socket.state() == QAbstractSocket::UnconnectedState; }
    QList<QByteArray> Texts;
    QTcpSocket Socket;

private:
    QByteArray Buffer;
    int Status = 0;
};

} // namespace tarvello::test
