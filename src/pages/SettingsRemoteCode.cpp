#include "pages/SettingsRemoteCode.h"

#include "widgets/LayoutHelpers.h"
#include "widgets/QrCode.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace tarvello {

namespace {

constexpr std::chrono::minutes ShowTime(1);

QString ShowText()
{
    return QStringLiteral("Show remote code");
}

} // namespace

TRemoteCode::TRemoteCode(QWidget *page) : QObject(page)
{
    setObjectName(QStringLiteral("RemoteCode"));
    // On the autoscroll line, right of the release window; what it shows
    // goes below, where nothing else stands.
    bRemoteCode = Named(new QPushButton(ShowText(), page), "bRemoteCode");
    bRemoteCode->setGeometry(420, 283, 130, 25);
    bRemoteCode->resize(std::max(bRemoteCode->width(), bRemoteCode->sizeHint().width()),
                        bRemoteCode->height());
    SetHint(bRemoteCode,
            QStringLiteral("The leader's remote address and its QR code, for a minute: anyone "
                           "who has it can drive the show"),
            true);
    lBandRemote = Named(new QLabel(page), "lBandRemote");
    lBandRemote->setGeometry(420, 314, 422, 36);
    lBandRemote->setWordWrap(true);
    lBandRemote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lBandRemoteQr = Named(new QLabel(page), "lBandRemoteQr");
    lBandRemoteQr->setGeometry(420, 352, 150, 150);
    lBandRemoteQr->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    HideTimer = new QTimer(this);
    HideTimer->setSingleShot(true);
    HideTimer->setInterval(ShowTime);
    connect(HideTimer, &QTimer::timeout, this, [this] { Show(false); });
    connect(bRemoteCode, &QPushButton::clicked, this, [this] { Show(!Shown()); });
    Show(false);
}

void TRemoteCode::SetAddress(const QString &remote)
{
    if (remote == Address) {
        return;
    }
    Address = remote;
    Show(false);
}

bool TRemoteCode::Shown() const
{
    return HideTimer->isActive();
}

void TRemoteCode::SetShowTime(std::chrono::milliseconds time)
{
    HideTimer->setInterval(time);
}

void TRemoteCode::Show(bool shown)
{
    shown = shown && !Address.isEmpty();
    if (shown) {
        lBandRemote->setText(QStringLiteral("Remote, for the leader (keep it to yourself): ") +
                             Address);
        lBandRemoteQr->setPixmap(QPixmap::fromImage(QrCodeImage(Address, 3)));
        HideTimer->start();
    } else {
        HideTimer->stop();
        lBandRemote->clear();
        lBandRemoteQr->clear();
    }
    bRemoteCode->setText(shown ? QStringLiteral("Hide remote code") : ShowText());
    bRemoteCode->setEnabled(!Address.isEmpty());
}

} // namespace tarvello
