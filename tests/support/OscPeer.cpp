#include "support/OscPeer.h"

#include "support/Wait.h"

#include <QNetworkDatagram>

#include <stdexcept>

namespace tarvello::test {

quint16 FreeUdpPort()
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(QHostAddress::LocalHost), 0)) {
        throw std::runtime_error("no free UDP port");
    }
    return probe.localPort();
}

TOscArgument OscInt(int value)
{
    return {'i', value, 0, {}};
}

TOscArgument OscFloat(float value)
{
    return {'f', 0, value, {}};
}

TOscArgument OscText(const std::string &text)
{
    return {'s', 0, 0, text};
}

QByteArray OscBytes(const std::string &path, const std::vector<TOscArgument> &arguments)
{
    return WriteOscMessage({path, arguments});
}

void SendDatagram(quint16 port, const QByteArray &datagram, const QHostAddress &from)
{
    TOscPeer(from).Send(port, datagram);
}

TOscPeer::TOscPeer(const QHostAddress &address)
{
    if (!Socket.bind(address, 0)) {
        throw std::runtime_error("cannot bind an OSC peer");
    }
}

void TOscPeer::Send(quint16 port, const QByteArray &datagram)
{
    Socket.writeDatagram(datagram, QHostAddress(QHostAddress::LocalHost), port);
}

std::optional<TOscMessage> TOscPeer::WaitFor(const std::string &path, int milliseconds)
{
    std::optional<TOscMessage> found;
    test::WaitFor(
        [&] {
            while (!found && Socket.hasPendingDatagrams()) {
                const std::optional<TOscMessage> message =
                    ReadOscMessage(Socket.receiveDatagram().data());
                if (message && message->Path == path) {
                    found = message;
                }
            }
            return found.has_value();
        },
        milliseconds);
    return found;
}

} // namespace tarvello::test
