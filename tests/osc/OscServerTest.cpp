#include "osc/OscServer.h"
#include "support/OscPeer.h"
#include "support/Wait.h"

#include "core/TarvelloError.h"

#include <QThread>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

const QHostAddress Loopback(QHostAddress::LocalHost);
// Another host, as far as the server can tell.
const QHostAddress OtherHost(QStringLiteral("127.0.0.2"));

class TOscServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QObject::connect(&Server, &TOscServer::CommandReceived,
                         [this](const TOscCommand &command) { Received.push_back(command); });
        Port = FreeUdpPort();
        Server.Start(Loopback, Port, QStringLiteral("KEY"));
    }

    TOscServer Server;
    quint16 Port = 0;
    std::vector<TOscCommand> Received;
};

TEST_F(TOscServerTest, TakesThisMachinesCommandsAndOthersOnlyWithTheKey)
{
    SendDatagram(Port, OscBytes("/tarvello/slot", {OscInt(5)}));
    ASSERT_TRUE(WaitFor([&] { return Received.size() == 1; }));
    EXPECT_EQ(Received[0], (TOscCommand{TOscVerb::Slot, 5}));

    SendDatagram(Port, OscBytes("/tarvello/next"), OtherHost);
    SendDatagram(Port, OscBytes("/tarvello/next", {OscText("KEX")}), OtherHost);
    ASSERT_TRUE(WaitFor([&] { return Server.Dropped() == 2; }));
    SendDatagram(Port, OscBytes("/tarvello/previous", {OscText("KEY")}), OtherHost);
    ASSERT_TRUE(WaitFor([&] { return Received.size() == 2; }));
    EXPECT_EQ(Received[1], (TOscCommand{TOscVerb::Previous, 0}));

    // A ping is answered to its sender, and is no command for the stage.
    TOscPeer peer(OtherHost);
    peer.Send(Port, OscBytes("/tarvello/ping", {OscText("KEY")}));
    EXPECT_TRUE(peer.WaitFor("/tarvello/pong").has_value());
    peer.Send(Port, OscBytes("/tarvello/ping"));
    EXPECT_FALSE(peer.WaitFor("/tarvello/pong", 300).has_value()) << "no key, no answer";
    EXPECT_EQ(Received.size(), 2u);

    // The port is this server's alone, and another host's address needs a key.
    TOscServer second;
    EXPECT_THROW(second.Start(Loopback, Port, QString()), TError);
    EXPECT_THROW(second.Start(QHostAddress(QHostAddress::AnyIPv4), FreeUdpPort(), QString()),
                 TError);
    Server.Stop();
    EXPECT_FALSE(Server.Running());
    second.Start(Loopback, Port, QString());
    EXPECT_TRUE(second.Running());
}

// The stage's thread is busy: what it has not taken up yet waits, up to a
// bound, and the rest of a flood is dropped on arrival.
TEST_F(TOscServerTest, AFloodBeyondWhatWaitsIsDropped)
{
    constexpr int sent = 200;
    TOscPeer peer;
    for (int i = 0; i < sent; ++i) {
        peer.Send(Port, OscBytes("/tarvello/value", {OscInt(i % 128)}));
    }
    // This thread runs no events meanwhile, as a stage thread drawing a page.
    QThread::msleep(500);
    ASSERT_TRUE(WaitFor([&] { return int(Received.size()) + Server.Dropped() == sent; }));
    EXPECT_EQ(int(Received.size()), TOscServer::MaxPending);
    EXPECT_EQ(Received.front(), (TOscCommand{TOscVerb::Value, 0}));
}

} // namespace
} // namespace tarvello::test
