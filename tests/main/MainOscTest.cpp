#include "MainWindowFixture.h"

#include "osc/OscServer.h"
#include "prompt/PromptEngine.h"
#include "support/OscPeer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>

namespace tarvello::test {
namespace {

class TMainOscTest : public TMainWindowTest {
protected:
    // OSC on, on a free port, with `target` among its targets.
    void TurnOscOn(const TOscPeer &target)
    {
        Port = FreeUdpPort();
        Find<QLineEdit>("leOscTargets")
            ->setText(
                QStringLiteral("127.0.0.1:%1, 127.0.0.1:%2").arg(FreeUdpPort()).arg(target.Port()));
        Find<QSpinBox>("seOscPort")->setValue(Port);
        Find<QCheckBox>("cbOsc")->setChecked(true);
        ASSERT_TRUE(Find<QLabel>("lOscStatus")->text().startsWith("Listening"))
            << Find<QLabel>("lOscStatus")->text().toStdString();
    }

    // The slot of the next /tarvello/current the target hears, -1 for none.
    static int CurrentSlotHeard(TOscPeer &target)
    {
        const std::optional<TOscMessage> current = target.WaitFor("/tarvello/current");
        if (!current || current->Arguments.size() != 4) {
            return -1;
        }
        return current->Arguments[1].Int;
    }

    quint16 Port = 0;
};

// From outside, as a cue program or a script sends: liblo's own oscsend.
TEST_F(TMainOscTest, CommandsFromOutsideSelectAsMidiAndTheTargetsHearTheStage)
{
    const QString oscsend = QStandardPaths::findExecutable(QStringLiteral("oscsend"));
    ASSERT_FALSE(oscsend.isEmpty()) << "liblo-tools is not installed (scripts/install-deps)";
    Window->Show().SetLine(5, QStringLiteral("Intro"));
    TOscPeer target;
    TurnOscOn(target);

    // Through the release window, as a MIDI value is.
    ASSERT_EQ(QProcess::execute(oscsend, {QStringLiteral("127.0.0.1"), QString::number(Port),
                                          QStringLiteral("/tarvello/slot"), QStringLiteral("i"),
                                          QStringLiteral("5")}),
              0);
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 5; }));
    EXPECT_EQ(PatchName()->text(), QStringLiteral("5 - Intro"));
    const std::optional<TOscMessage> current = target.WaitFor("/tarvello/current");
    ASSERT_TRUE(current.has_value());
    ASSERT_EQ(current->Arguments.size(), 4u);
    EXPECT_EQ(current->Arguments[0].Int, 0);
    EXPECT_EQ(current->Arguments[1].Int, 5);
    EXPECT_EQ(current->Arguments[2].Text, "Intro");
    EXPECT_EQ(current->Arguments[3].Int, 0);

    Engine().SetReleaseWindow(0);
    QSignalSpy selected(&Engine(), &TPromptEngine::PromptSelected);
    SendDatagram(Port, OscBytes("/go"));
    EXPECT_EQ(CurrentSlotHeard(target), 6) << "/go steps as Next";
    SendDatagram(Port, OscBytes("/tarvello/slot", {OscFloat(9.4f)}));
    EXPECT_EQ(CurrentSlotHeard(target), 9) << "a float acts as its integer";
    SendDatagram(Port, OscBytes("/cue/12/start"));
    EXPECT_EQ(CurrentSlotHeard(target), 12);
    SendDatagram(Port, OscBytes("/tarvello/value", {OscText("127")}));
    EXPECT_EQ(CurrentSlotHeard(target), 11) << "127 is Previous, as from MIDI";
    EXPECT_EQ(selected.size(), 4);
    EXPECT_EQ(selected.back().at(0).value<TPrompt>().Origin, TSelectOrigin::Osc);
}

// Another host without the key, and a storm of broken datagrams: nothing is
// acted on, and the window still answers a good command after.
TEST_F(TMainOscTest, NothingButAGoodCommandActs)
{
    Engine().SetReleaseWindow(0);
    TOscPeer target;
    TurnOscOn(target);
    QSignalSpy selected(&Engine(), &TPromptEngine::PromptSelected);
    const QHostAddress other(QStringLiteral("127.0.0.2"));
    SendDatagram(Port, OscBytes("/tarvello/slot", {OscInt(3)}), other);
    SendDatagram(Port, OscBytes("/tarvello/slot", {OscInt(3), OscText("0123")}), other);

    QRandomGenerator random(30);
    const QByteArray good = OscBytes("/tarvello/slot", {OscInt(100)});
    const auto randomBytes = [&](int size) {
        QByteArray bytes(size, '\0');
        for (char &byte : bytes) {
            byte = char(random.bounded(256));
        }
        return bytes;
    };
    const TOscServer *server = Find<TOscServer>("OscServer");
    TOscPeer sender;
    for (int i = 0; i < 10000; ++i) {
        QByteArray datagram;
        switch (i % 5) {
        case 0:
            datagram = randomBytes(random.bounded(600));
            break;
        case 1: // a message that needs its number, cut before its end
            datagram = good.left(random.bounded(good.size()));
            break;
        case 2: // type tags of no number's type ('A' to ']'), often unterminated
            datagram = QByteArray("/tarvello/slot\0\0,", 17);
            for (int tag = random.bounded(1, 9); tag > 0; --tag) {
                datagram += char(random.bounded('A', '^'));
            }
            datagram += QByteArray(4 * random.bounded(3), '\0');
            break;
        case 3: // a huge string: too many digits for any number
            datagram = OscBytes("/tarvello/slot",
                                {OscText(std::string(size_t(random.bounded(1000, 9000)), '7'))});
            break;
        default: // bundles in bundles
            datagram = QByteArray("#bundle\0\0\0\0\0\0\0\0\1", 16);
            for (int depth = random.bounded(1, 40); depth > 0; --depth) {
                datagram += QByteArray("\0\0\0\x10#bundle\0\0\0\0\0\0\0\0\1", 20);
            }
            datagram += randomBytes(random.bounded(32));
        }
        sender.Send(Port, datagram);
        // The window runs meanwhile; at most about 100 datagrams are on
        // their way at a time, so that they reach the server rather than
        // overflow its socket on a busy machine.
        if (i % 50 == 49) {
            WaitFor([&] { return server->Dropped() >= i - 100; }, 200);
        }
    }
    EXPECT_TRUE(WaitFor([&] { return server->Dropped() >= 9000; }, 5000))
        << server->Dropped() << " of 10,000 read and dropped";
    EXPECT_EQ(selected.size(), 0);
    SendDatagram(Port,
                 OscBytes("/tarvello/slot", {OscInt(7), OscText(Window->BandKey().toStdString())}),
                 other);
    EXPECT_EQ(CurrentSlotHeard(target), 7);
    EXPECT_EQ(selected.size(), 1) << "only the good command acts";
    EXPECT_EQ(CurrentSlot(), 7);
}

} // namespace
} // namespace tarvello::test
