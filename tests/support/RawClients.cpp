#include "support/RawClients.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

namespace tarvello::test {

QByteArray ClientFrame(int opcode, const QByteArray &payload, bool masked)
{
    QByteArray frame;
    frame += char(0x80 | opcode);
    const char mask = masked ? char(0x80) : char(0);
    const qsizetype size = payload.size();
    if (size < 126) {
        frame += char(mask | size);
    } else if (size < 65536) {
        frame += char(mask | 126);
        frame += char(size >> 8);
        frame += char(size & 0xff);
    } else {
        frame += char(mask | 127);
        for (int shift = 56; shift >= 0; shift -= 8) {
            frame += char((quint64(size) >> shift) & 0xff);
        }
    }
    if (!masked) {
        return frame + payload;
    }
    const quint32 key = QRandomGenerator::global()->generate();
    const char bytes[4] = {char(key >> 24), char(key >> 16), char(key >> 8), char(key)};
    frame.append(bytes, 4);
    for (qsizetype i = 0; i < size; ++i) {
        frame += char(payload[i] ^ bytes[i % 4]);
    }
    return frame;
}

QByteArray FollowerHandshake(quint16 port, const QByteArray &extraHeaders)
{
    return "GET /ws HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
           "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n" +
           extraHeaders + "\r\n";
}

std::unique_ptr<QTcpSocket> RawConnection(quint16 port, const QHostAddress &from)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->bind(from);
    socket->connectToHost(QHostAddress::LocalHost, port);
    socket->waitForConnected(3000);
    return socket;
}

qint64 PushWhileTaken(QTcpSocket &socket, const std::function<QByteArray()> &next, int ms)
{
    qint64 taken = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && socket.state() == QAbstractSocket::ConnectedState) {
        if (socket.bytesToWrite() == 0) {
            const QByteArray bytes = next();
            socket.write(bytes);
            taken += bytes.size();
        }
        socket.waitForBytesWritten(20);
        QCoreApplication::processEvents();
    }
    return taken - socket.bytesToWrite();
}

int FirstStatus(QTcpSocket &socket, int ms)
{
    QByteArray received;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        received += socket.readAll();
        if (received.indexOf("\r\n") > 0 && received.startsWith("HTTP/1.1 ")) {
            return received.mid(9, 3).toInt();
        }
        if (socket.state() != QAbstractSocket::ConnectedState && socket.bytesAvailable() == 0) {
            return 0;
        }
        socket.waitForReadyRead(20);
        QCoreApplication::processEvents();
    }
    return 0;
}

TRawFollower::TRawFollower(quint16 port, const QHostAddress &from, const QByteArray &extraHeaders)
{
    Socket.bind(from);
    Socket.connectToHost(QHostAddress::LocalHost, port);
    Socket.waitForConnected(3000);
    Socket.write(FollowerHandshake(port, extraHeaders));
    Socket.flush();
}

void TRawFollower::Stall()
{
    Take();
    // Qt keeps at most this much of what the network brings, and nobody takes it.
    Socket.setReadBufferSize(1);
}

void TRawFollower::Resume()
{
    Socket.setReadBufferSize(0);
    Take();
}

void TRawFollower::Take()
{
    if (Socket.readBufferSize() == 1) {
        return;
    }
    Buffer += Socket.readAll();
    if (Status == 0) {
        const qsizetype end = Buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        Status = Buffer.mid(9, 3).toInt();
        Buffer.remove(0, end + 4);
    }
    // Frames from a server are never masked.
    for (;;) {
        if (Buffer.size() < 2) {
            return;
        }
        const int opcode = Buffer[0] & 0x0f;
        quint64 size = quint8(Buffer[1]) & 0x7f;
        qsizetype head = 2;
        if (size == 126) {
            if (Buffer.size() < 4) {
                return;
            }
            size = quint64(quint8(Buffer[2])) << 8 | quint8(Buffer[3]);
            head = 4;
        } else if (size == 127) {
            if (Buffer.size() < 10) {
                return;
            }
            size = 0;
            for (int i = 2; i < 10; ++i) {
                size = size << 8 | quint8(Buffer[i]);
            }
            head = 10;
        }
        if (quint64(Buffer.size() - head) < size) {
            return;
        }
        if (opcode == 0x1) {
            Texts.append(Buffer.mid(head, qsizetype(size)));
        }
        Buffer.remove(0, head + qsizetype(size));
    }
}

} // namespace tarvello::test
