#include "band/HttpRequest.h"

#include <QHostAddress>

namespace tarvello {

QByteArray TargetPath(const QByteArray &target)
{
    if (!target.startsWith('/')) {
        return {};
    }
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}

bool HostAllowed(const QByteArray &host, quint16 port)
{
    QByteArray name = host.trimmed().toLower();
    QByteArray portText;
    if (name.startsWith('[')) {
        // [IPv6]:port
        const qsizetype close = name.indexOf(']');
        if (close < 0) {
            return false;
        }
        portText = name.mid(close + 1);
        name = name.mid(1, close - 1);
        if (!portText.isEmpty() && !portText.startsWith(':')) {
            return false;
        }
        portText = portText.mid(1);
    } else {
        const qsizetype colon = name.lastIndexOf(':');
        if (colon >= 0) {
            portText = name.mid(colon + 1);
            name = name.left(colon);
        }
    }
    if (portText.isEmpty() ? port != 80 : portText != QByteArray::number(port)) {
        return false;
    }
    if (name == "localhost") {
        return true;
    }
    QHostAddress address;
    return !name.isEmpty() && address.setAddress(QString::fromLatin1(name)) &&
           (host.trimmed().startsWith('[') ? address.protocol() == QAbstractSocket::IPv6Protocol
                                           : address.protocol() == QAbstractSocket::IPv4Protocol);
}

bool OriginAllowed(const QByteArray &origin, const QByteArray &host)
{
    if (origin.isEmpty()) {
        return true;
    }
    return origin.trimmed().compare("http://" + host.trimmed(), Qt::CaseInsensitive) == 0;
}

bool TransferCodingAllowed(const QByteArray &codings)
{
    const QByteArray coding = codings.trimmed();
    return coding.isEmpty() || coding.compare("chunked", Qt::CaseInsensitive) == 0;
}

} // namespace tarvello
