#include "BandCrowd.h"

#include "support/BandClient.h"
#include "support/RawClients.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

namespace tarvello::test {

TBandCrowd::TBandCrowd(quint16 port, int count, bool fetch)
    : Port(port), Count(count), Fetch(fetch), Thread(std::make_unique<QThread>())
{
    Thread->start();
    moveToThread(Thread.get());
    QMetaObject::invokeMethod(
        this, [this] { Open(); }, Qt::BlockingQueuedConnection);
}

TBandCrowd::~TBandCrowd()
{
    QMetaObject::invokeMethod(
        this, [this] { Followers.clear(); }, Qt::BlockingQueuedConnection);
    Thread->quit();
    Thread->wait();
}

void TBandCrowd::Open()
{
    for (int i = 0; i < Count; ++i) {
        const QHostAddress from(QStringLiteral("127.0.0.%1").arg(10 + i / 8));
        Followers.push_back(std::make_unique<TRawFollower>(Port, from));
        Shown.push_back(QString());
        const std::size_t index = Followers.size() - 1;
        connect(&Followers.back()->Socket, &QTcpSocket::readyRead, this,
                [this, index] { Received(index); });
    }
}

void TBandCrowd::Await(int slot)
{
    const std::lock_guard lock(Lock);
    Times.assign(std::size_t(Count), TClock::time_point());
    Awaited = slot;
}

std::vector<TBandCrowd::TClock::time_point> TBandCrowd::Arrivals()
{
    const std::lock_guard lock(Lock);
    return Times;
}

int TBandCrowd::ContentFetched()
{
    const std::lock_guard lock(Lock);
    return Fetched;
}

void TBandCrowd::Received(std::size_t index)
{
    const auto now = TClock::now();
    TRawFollower &follower = *Followers[index];
    follower.Take();
    QString content;
    {
        const std::lock_guard lock(Lock);
        for (const QByteArray &text : std::as_const(follower.Texts)) {
            const QJsonObject state = QJsonDocument::fromJson(text).object();
            if (state["slot"].toInt() == Awaited && index < Times.size() &&
                Times[index] == TClock::time_point()) {
                Times[index] = now;
            }
            content = state["content"].toString();
        }
    }
    follower.Texts.clear();
    if (Fetch && !content.isEmpty() && content != Shown[index]) {
        Shown[index] = content;
        // From the follower's own address, as a phone fetches.
        const bool ok =
            HttpGet(Port, content.toLatin1(), Followers[index]->Socket.localAddress()).Status ==
            200;
        const std::lock_guard lock(Lock);
        Fetched += ok ? 1 : 0;
    }
}

} // namespace tarvello::test
