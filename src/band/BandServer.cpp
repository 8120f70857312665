#include "band/BandServer.h"

#include "band/BandHost.h"
#include "core/TarvelloError.h"

#include <QNetworkInterface>
#include <QThread>

namespace tarvello {

TBandServer::TBandServer(QObject *parent) : QObject(parent), Thread(std::make_unique<QThread>())
{
    Thread->setObjectName(QStringLiteral("Band screens"));
    Host = new TBandHost(*this);
    Host->moveToThread(Thread.get());
    connect(Thread.get(), &QThread::finished, Host, &QObject::deleteLater);
    Thread->start();
}

TBandServer::~TBandServer()
{
    Stop();
    Thread->quit();
    Thread->wait();
}

void TBandServer::Start(quint16 port, const QString &key)
{
    QString reason;
    QMetaObject::invokeMethod(
        Host, [&] { reason = Host->Listen(port, key.toLatin1()); }, Qt::BlockingQueuedConnection);
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
        QMetaObject::invokeMethod(
            Host, [this] { Host->Close(); }, Qt::BlockingQueuedConnection);
    }
    Listening = false;
    ListenPort = 0;
}

void TBandServer::Publish(const TBandState &state, const QList<TBandPrompt> &neighbours)
{
    Host->Publish(state, neighbours);
}

void TBandServer::PublishSlots(const QStringList &names)
{
    Host->PublishSlots(names);
}

} // namespace tarvello
