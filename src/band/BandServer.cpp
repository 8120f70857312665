#include "band/BandServer.h"

#include "band/BandHost.h"
#include "core/TarvelloError.h"

#include <QNetworkInterface>

namespace tarvello {

TBandServer::TBandServer(QObject *parent)
    : QObject(parent),
      Host(std::make_unique<TBandHost>([this](int value) { emit ValueRequested(value); },
                                       [this] { emit SelectRequested(); },
                                       [this](int show) { emit ShowRequested(show); }))
{
}

TBandServer::~TBandServer() = default;

void TBandServer::Start(quint16 port, const QString &key)
{
    const QString reason = Host->Listen(port, key.toLatin1());
    Listening = reason.isEmpty();
    ListenPort = Listening ? port : 0;
    if (!Listening) {
        throw TError(QStringLiteral("Band screens cannot listen on port %1: %2. Choose another "
                                    "port on the Settings page.")
                         .arg(port)
                         .arg(reason));
    }
}

QString TBandServer::LanAddress()
{
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) {
                return address.toString();
            }
        }
    }
    return QStringLiteral("localhost");
}

void TBandServer::Stop()
{
    if (Listening) {
        Host->Close();
    }
    Listening = false;
    ListenPort = 0;
}

void TBandServer::Publish(const TBandState &state, const QList<TBandPrompt> &neighbours)
{
    Host->Publish(state, neighbours);
}

void TBandServer::PublishShows(const QList<TBandShow> &shows)
{
    Host->PublishShows(shows);
}

void TBandServer::PublishSlots(const QStringList &names)
{
    Host->PublishSlots(names);
}

} // namespace tarvello
