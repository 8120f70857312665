#pragma once

#include "osc/OscWire.h"

#include <QByteArray>
#include <QHostAddress>
#include <QUdpSocket>

#include <optional>
#include <string>
#include <vector>

namespace tarvello::test {

// A UDP port on 127.0.0.1 that nothing uses at the moment.
quint16 FreeUdpPort();

TOscArgument OscInt(int value);
TOscArgument OscFloat(float value);
TOscArgument OscText(const std::string &text);
QByteArray OscBytes(const std::string &path, const std::vector<TOscArgument> &arguments = {});

// Sends one datagram to 127.0.0.1:port from the loopback address `from`, as
// another host on the network would send it from its own.
void SendDatagram(quint16 port, const QByteArray &datagram,
                  const QHostAddress &from = QHostAddress(QHostAddress::LocalHost));

// An OSC peer on a loopback address and a free port: a target that OSC out
// sends to, or a sender that waits for an answer.
class TOscPeer {
public:
    explicit TOscPeer(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost));
    quint16 Port() const { return Socket.localPort(); }
    void Send(quint16 port, const QByteArray &datagram);
    // The next message with this path, the event loop running meanwhile;
    // nothing when none came in time. Other messages are passed over.
    std::optional<TOscMessage> WaitFor(const std::string &path, int milliseconds = 5000);

private:
    QUdpSocket Socket;
};

} // namespace tarvello::test
