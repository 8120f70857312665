// The Settings page's controls for OSC control over the network.
#include "pages/SettingsPage.h"

#include "prompt/StoredSettings.h"
#include "widgets/LayoutHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace tarvello {

void TSettingsPage::createOscControls()
{
    // A block of its own right of where the remote's code is shown, below
    // its address: the box and port, where to listen, where to send, and the
    // status line.
    constexpr int left = 590;
    constexpr int top = 358;
    cbOsc = Named(new QCheckBox(QStringLiteral("OSC"), this), "cbOsc");
    cbOsc->setGeometry(left, top + 2, 56, 19);
    WidenToFit(cbOsc);
    SetHint(cbOsc,
            QStringLiteral("Cue programs, consoles and tablets select slots with OSC messages, "
                           "and hear what the stage shows"),
            true);
    seOscPort = Named(new QSpinBox(this), "seOscPort");
    seOscPort->setGeometry(cbOsc->geometry().right() + 8, top, 96, 22);
    seOscPort->setRange(1024, 65535);
    seOscPort->setValue(DefaultOscPort);
    seOscPort->setPrefix(QStringLiteral("Port "));
    seOscPort->setKeyboardTracking(false);
    SetHint(seOscPort, QStringLiteral("The UDP port OSC commands come to"), true);
    OscPortShown = seOscPort->value();

    lOscListen = PlacedLabel(this, "lOscListen", QStringLiteral("Listen on"), left, top + 32);
    cbOscListen = Named(new QComboBox(this), "cbOscListen");
    cbOscListen->setGeometry(lOscListen->geometry().right() + 8, top + 28, 140, 22);
    SetOscListenChoices({});
    SetHint(cbOscListen,
            QStringLiteral("127.0.0.1: this computer alone. Any other address needs the band "
                           "screens' key as the last argument of every command"),
            true);

    lOscTargets = PlacedLabel(this, "lOscTargets", QStringLiteral("Send to"), left, top + 60);
    leOscTargets = Named(new QLineEdit(this), "leOscTargets");
    leOscTargets->setGeometry(lOscListen->geometry().right() + 8, top + 56, 200, 22);
    leOscTargets->setPlaceholderText(QStringLiteral("host:port, up to four"));
    SetHint(leOscTargets,
            QStringLiteral("Where /tarvello/current goes after each selection: up to four "
                           "IP address:port, separated by commas"),
            true);

    lOscStatus = Named(new QLabel(this), "lOscStatus");
    lOscStatus->setGeometry(left, top + 84, 260, 32);
    lOscStatus->setWordWrap(true);

    connect(cbOsc, &QCheckBox::toggled, this, &TSettingsPage::OscSettingsChanged);
    connect(cbOscListen, &QComboBox::activated, this, &TSettingsPage::OscSettingsChanged);
    // A port or the targets count once the operator has finished typing.
    connect(seOscPort, &QSpinBox::valueChanged, this, [this](int port) {
        if (!seOscPort->hasFocus() && port != OscPortShown) {
            OscPortShown = port;
            emit OscSettingsChanged();
        }
    });
    connect(seOscPort, &QSpinBox::editingFinished, this, [this] {
        if (seOscPort->value() != OscPortShown) {
            OscPortShown = seOscPort->value();
            emit OscSettingsChanged();
        }
    });
    connect(leOscTargets, &QLineEdit::editingFinished, this, &TSettingsPage::OscSettingsChanged);
}

void TSettingsPage::RestoreOsc(const TStoredSettings &s)
{
    const QSignalBlocker quietPort(seOscPort);
    seOscPort->setValue(s.OscPort);
    OscPortShown = seOscPort->value();
    // The stored address stays a choice even on a machine that lacks it
    // today: starting reports it, and the next save keeps it.
    if (cbOscListen->findText(s.OscListen) < 0) {
        cbOscListen->addItem(s.OscListen);
    }
    cbOscListen->setCurrentText(s.OscListen);
    leOscTargets->setText(s.OscTargets);
    cbOsc->setChecked(s.OscEnabled);
}

void TSettingsPage::CollectOsc(TStoredSettings &s) const
{
    s.OscEnabled = Osc();
    s.OscPort = OscPort();
    s.OscListen = OscListen();
    s.OscTargets = OscTargets();
}

bool TSettingsPage::Osc() const
{
    return cbOsc->isChecked();
}

int TSettingsPage::OscPort() const
{
    return seOscPort->value();
}

QString TSettingsPage::OscListen() const
{
    return cbOscListen->currentText();
}

QString TSettingsPage::OscTargets() const
{
    return leOscTargets->text().trimmed();
}

void TSettingsPage::SetOscListenChoices(const QStringList &addresses)
{
    const QString chosen =
        cbOscListen->count() > 0 ? cbOscListen->currentText() : QStringLiteral("127.0.0.1");
    const QSignalBlocker quiet(cbOscListen);
    cbOscListen->clear();
    cbOscListen->addItem(QStringLiteral("127.0.0.1"));
    for (const QString &address : addresses) {
        if (cbOscListen->findText(address) < 0) {
            cbOscListen->addItem(address);
        }
    }
    if (cbOscListen->findText(chosen) < 0) {
        cbOscListen->addItem(chosen);
    }
    cbOscListen->setCurrentText(chosen);
}

void TSettingsPage::ShowOscStatus(const QString &status)
{
    lOscStatus->setText(status);
}

} // namespace tarvello
