#include "osc/OscPublisher.h"

#include "core/TarvelloError.h"
#include "osc/OscWire.h"

#include <QStringList>
#include <QUdpSocket>

namespace tarvello {
namespace {

// A slot's name is cut where a datagram would grow beyond what every network
// carries unfragmented.
constexpr int LongestName = 400;

TOscTarget ParseTarget(const QString &item)
{
    const qsizetype colon = item.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const int port = colon > 0 ? item.mid(colon + 1).toInt(&portOk) : 0;
    QString host = item.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    }
    TOscTarget target;
    target.Host = host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0
                      ? QHostAddress(QHostAddress::LocalHost)
                      : QHostAddress(host);
    target.Port = quint16(port);
    if (!portOk || port < 1 || port > 65535 || target.Host.isNull()) {
        throw TError(QStringLiteral("\"%1\" is no OSC target: give an IP address and a port, "
                                    "as in 192.168.1.20:9000")
                         .arg(item));
    }
    return target;
}

} // namespace

QList<TOscTarget> ParseOscTargets(const QString &text)
{
    QList<TOscTarget> targets;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString trimmed = item.trimmed();
        if (trimmed.isEmpty()) {
            continue;
        }
        if (targets.size() == MaxOscTargets) {
            throw TError(QStringLiteral("At most %1 OSC targets").arg(MaxOscTargets));
        }
        targets.append(ParseTarget(trimmed));
    }
    return targets;
}

QString OscTargetsText(const QList<TOscTarget> &targets)
{
    QStringList items;
    for (const TOscTarget &target : targets) {
        const QString host = target.Host.protocol() == QAbstractSocket::IPv6Protocol
                                 ? QStringLiteral("[%1]").arg(target.Host.toString())
                                 : target.Host.toString();
        items.append(QStringLiteral("%1:%2").arg(host).arg(target.Port));
    }
    return items.join(QStringLiteral(", "));
}

QByteArray OscCurrentMessage(int show, int slot, const QString &name, int pdfPage)
{
    TOscMessage message{"/tarvello/current", {}};
    message.Arguments.push_back({'i', show, 0, {}});
    message.Arguments.push_back({'i', slot, 0, {}});
    message.Arguments.push_back({'s', 0, 0, name.left(LongestName).toStdString()});
    message.Arguments.push_back({'i', pdfPage, 0, {}});
    return WriteOscMessage(message);
}

QByteArray OscPongMessage()
{
    return WriteOscMessage({"/tarvello/pong", {}});
}

TOscPublisher::TOscPublisher(QObject *parent) : QObject(parent), Socket(new QUdpSocket(this))
{
    setObjectName(QStringLiteral("OscPublisher"));
}

void TOscPublisher::PublishCurrent(int show, int slot, const QString &name, int pdfPage)
{
    if (Targets.isEmpty()) {
        return;
    }
    const QByteArray message = OscCurrentMessage(show, slot, name, pdfPage);
    for (const TOscTarget &target : Targets) {
        // A full send buffer or an unreachable host makes the write fail at
        // once; the next selection tries again.
        Socket->writeDatagram(message, target.Host, target.Port);
    }
}

} // namespace tarvello
