#include "pages/SettingsPage.h"

#include "pages/SettingsRemoteCode.h"
#include "prompt/StoredSettings.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/QrCode.h"

#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>

namespace tarvello {

void TSettingsPage::createBandControls()
{
    // To the right of the navigation panel: the band's phones and tablets.
    cbBandScreens = Named(new QCheckBox(QStringLiteral("Band screens"), this), "cbBandScreens");
    cbBandScreens->setGeometry(632, 8, 104, 17);
    SetHint(cbBandScreens,
            QStringLiteral("Phones, tablets and computers on this network follow the show in a "
                           "web browser"),
            true);
    seBandPort = Named(new QSpinBox(this), "seBandPort");
    seBandPort->setGeometry(740, 5, 96, 22);
    seBandPort->setRange(1024, 65535);
    seBandPort->setValue(DefaultBandPort);
    seBandPort->setPrefix(QStringLiteral("Port "));
    seBandPort->setKeyboardTracking(false);
    SetHint(seBandPort, QStringLiteral("The network port band screens use"), true);
    BandPortShown = seBandPort->value();

    lBandAddress = Named(new QLabel(this), "lBandAddress");
    lBandAddress->setGeometry(632, 30, 210, 34);
    lBandAddress->setWordWrap(true);
    lBandAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lBandQr = Named(new QLabel(this), "lBandQr");
    lBandQr->setGeometry(632, 66, 150, 150);
    lBandQr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    RemoteCode = new TRemoteCode(this);
    ShowBandProblem(QString());

    connect(cbBandScreens, &QCheckBox::toggled, this, &TSettingsPage::BandScreensToggled);
    connect(seBandPort, &QSpinBox::valueChanged, this, [this](int port) {
        // Typing a port gives its digits one by one: only the port the
        // operator settles on counts.
        if (!seBandPort->hasFocus() && port != BandPortShown) {
            BandPortShown = port;
            emit BandPortChanged(port);
        }
    });
    connect(seBandPort, &QSpinBox::editingFinished, this, [this] {
        if (seBandPort->value() != BandPortShown) {
            BandPortShown = seBandPort->value();
            emit BandPortChanged(BandPortShown);
        }
    });
}

bool TSettingsPage::BandScreens() const
{
    return cbBandScreens->isChecked();
}

void TSettingsPage::SetBandScreens(bool on)
{
    cbBandScreens->setChecked(on);
}

int TSettingsPage::BandPort() const
{
    return seBandPort->value();
}

void TSettingsPage::SetBandPort(int port)
{
    const QSignalBlocker quiet(seBandPort);
    seBandPort->setValue(port);
    BandPortShown = seBandPort->value();
}

void TSettingsPage::ShowBandAddresses(const QString &follow, const QString &remote)
{
    lBandAddress->setText(QStringLiteral("Follow: ") + follow);
    const QImage code = QrCodeImage(follow, 3);
    lBandQr->setPixmap(QPixmap::fromImage(code));
    RemoteCode->SetAddress(remote);
}

void TSettingsPage::ShowBandProblem(const QString &problem)
{
    lBandAddress->setText(problem);
    lBandQr->clear();
    RemoteCode->SetAddress(QString());
}

} // namespace tarvello
