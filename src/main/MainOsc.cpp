// OSC control: commands from cue programs, consoles and tablets act through
// the engine as the same MIDI value or Nav Pad command does, and the targets
// hear what the stage shows after each selection.
#include "main/MainWindow.h"

#include "core/TarvelloError.h"
#include "osc/OscPublisher.h"
#include "osc/OscServer.h"
#include "pages/SettingsPage.h"
#include "prompt/MidiDispatch.h"
#include "prompt/PromptEngine.h"
#include "widgets/ErrorReporter.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace tarvello {

void TfMain::connectOsc()
{
    Osc = new TOscServer(this);
    OscPublisher = new TOscPublisher(this);
    connect(SettingsPage, &TSettingsPage::OscSettingsChanged, this,
            Guarded(*ErrorBox, [this] { cbOscClick(); }));
    connect(Osc, &TOscServer::CommandReceived, this,
            Guarded(*ErrorBox, [this](const TOscCommand &command) { ActOnOsc(command); }));
    // Dropped messages are counted where the operator looks for OSC, never
    // in a box over the stage: a stray sender on the network must not cover
    // the prompt.
    connect(Osc, &TOscServer::DropsCounted, this, [this](int total, const QString &why) {
        SettingsPage->ShowOscStatus(QStringLiteral("%1 - %2 messages dropped, the last: %3")
                                        .arg(OscRunning)
                                        .arg(total)
                                        .arg(why));
    });
    QStringList addresses;
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) {
            addresses.append(address.toString());
        }
    }
    SettingsPage->SetOscListenChoices(addresses);
}

void TfMain::cbOscClick()
{
    OscRunning.clear();
    // Off means off both ways: nothing is heard and nothing is sent.
    if (!SettingsPage->Osc()) {
        Osc->Stop();
        OscPublisher->SetTargets({});
        SettingsPage->ShowOscStatus(QString());
        return;
    }
    const QString listen = SettingsPage->OscListen();
    const QHostAddress address(listen);
    try {
        OscPublisher->SetTargets(ParseOscTargets(SettingsPage->OscTargets()));
        if (address.isNull()) {
            throw TError(QStringLiteral("OSC cannot listen on \"%1\": no IP address").arg(listen));
        }
        Osc->Start(address, quint16(SettingsPage->OscPort()), BandKeyValue);
    } catch (const TError &error) {
        SettingsPage->ShowOscStatus(QStringLiteral("Not running: ") + error.message());
        throw;
    }
    OscRunning = QStringLiteral("Listening on %1 port %2").arg(listen).arg(Osc->Port());
    SettingsPage->ShowOscStatus(OscRunning);
}

void TfMain::ActOnOsc(const TOscCommand &command)
{
    const auto step = [this](int value) { Select(value, TSelectOrigin::Osc); };
    switch (command.Verb) {
    case TOscVerb::Slot:
    case TOscVerb::Value:
        // The release window takes it as it takes the same MIDI value.
        Engine->Dispatch().OscValue(std::uint8_t(command.Number));
        break;
    case TOscVerb::Next:
        step(NextPromptValue);
        break;
    case TOscVerb::Previous:
        step(PreviousPromptValue);
        break;
    case TOscVerb::LineUp:
    case TOscVerb::LineDown:
    case TOscVerb::PageUp:
    case TOscVerb::PageDown:
        // As the Nav Pad's buttons, which showing text lines are off: the
        // same values would select slots there.
        if (DisplayType() == 1) {
            step(command.Verb == TOscVerb::LineUp     ? LineUpValue
                 : command.Verb == TOscVerb::LineDown ? LineDownValue
                 : command.Verb == TOscVerb::PageUp   ? PageUpValue
                                                      : PageDownValue);
        }
        break;
    case TOscVerb::Select:
        NavPadSelect();
        break;
    case TOscVerb::Show:
        OpenShow(command.Number);
        break;
    case TOscVerb::Ping:
        break;
    }
}

void TfMain::PublishOsc(const TPrompt &prompt, const TStageReport &shown)
{
    OscPublisher->PublishCurrent(prompt.ShowNumber, prompt.Slot, prompt.Stored, shown.PdfPage);
}

} // namespace tarvello
