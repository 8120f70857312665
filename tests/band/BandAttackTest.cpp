// Band screens against clients that do what no browser does: each test is a
// way someone on the stage network tried to lock the band out, fill the
// program's memory or slow the stage, over real sockets, from other addresses
// of the loopback network where the attack needs more than one.
#include "band/BandServer.h"
#include "pdfhost/PagePictures.h"
#include "support/BandClient.h"
#include "support/BrowserPage.h"
#include "support/RawClients.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tarvello::test {
namespace {

const QByteArray Key = "0123456789abcdef0123456789abcdef";

QHostAddress Loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}

class BandAttackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Port = FreePort();
        Server = std::make_unique<TBandServer>();
        Server->Start(Port, QString::fromLatin1(Key));
    }

    // The leader's command, from the leader's own address.
    int LeaderPost(int value)
    {
        return HttpPost(Port, "/api/value", "{\"value\": " + QByteArray::number(value) + "}", Key)
            .Status;
    }

    QByteArray Request(const QByteArray &line, const QByteArray &headers = {})
    {
        return line + " HTTP/1.1\r\n" + HostHeader(Port) + headers + "\r\n";
    }

    quint16 Port = 0;
    std::unique_ptr<TBandServer> Server;
};

TEST_F(BandAttackTest, AConnectionThatEndsGivesItsPlaceBack)
{
    // A handshake with a close frame behind it in the same segment, then gone:
    // far more of them than there are places.
    for (int i = 0; i < 3 * TBandServer::MaxConnections; ++i) {
        auto socket = RawConnection(Port, Loopback(2 + i % 4));
        socket->write(FollowerHandshake(Port) + ClientFrame(0x8, QByteArray("\x03\xe8", 2)));
        socket->flush();
        socket->abort();
    }
    QCoreApplication::processEvents();
    TFollowerClient follower(Port);
    EXPECT_TRUE(follower.WaitConnected()) << "a new follower still finds a place";
    EXPECT_EQ(HttpGet(Port, "/api/state").Status, 200);
    EXPECT_EQ(LeaderPost(3), 204);
}

TEST_F(BandAttackTest, StrangersNeverLockTheLeaderOut)
{
    // Connections that never finish their request, from ten addresses: more
    // than all the places.
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int address = 2; address < 12; ++address) {
        for (int i = 0; i < TBandServer::PerAddress; ++i) {
            slow.push_back(RawConnection(Port, Loopback(address)));
            slow.back()->write("GET / HTTP/1.1\r\n");
            slow.back()->flush();
        }
    }
    auto ninth = RawConnection(Port, Loopback(11));
    EXPECT_EQ(FirstStatus(*ninth), 503) << "one address holds a few places at most";

    EXPECT_EQ(LeaderPost(5), 204) << "the leader's command gets through";
    TFollowerClient follower(Port);
    EXPECT_TRUE(follower.WaitConnected()) << "a new follower takes a silent one's place";

    // Followers from one address: a few.
    std::vector<std::unique_ptr<TRawFollower>> many;
    for (int i = 0; i <= TBandServer::PerAddress; ++i) {
        many.push_back(std::make_unique<TRawFollower>(Port, Loopback(20)));
    }
    ASSERT_TRUE(WaitUntil([&] {
        for (auto &one : many) {
            one->Take();
        }
        return std::all_of(many.begin(), many.end(),
                           [](auto &one) { return one->HandshakeStatus() != 0; });
    }));
    EXPECT_EQ(std::count_if(many.begin(), many.end(), [](auto &one) { return one->Upgraded(); }),
              TBandServer::PerAddress);
}

TEST_F(BandAttackTest, WhatNobodyReadsStaysInTheNetworkAndIsAnsweredOnceRead)
{
    // The network's buffers take a few megabytes; a server that keeps reading
    // takes everything.
    constexpr qint64 NetworkBuffers = 32 * 1024 * 1024;
    const QByteArray pipelined = Request("GET /api/state").repeated(2000);

    auto flood = RawConnection(Port);
    EXPECT_LT(PushWhileTaken(
                  *flood, [&] { return pipelined; }, 2000),
              NetworkBuffers)
        << "pipelined requests whose answers are never read";

    auto chunked = RawConnection(Port);
    chunked->write(Request("POST /api/value",
                           "Authorization: Bearer " + Key + "\r\nTransfer-Encoding: chunked\r\n") +
                   "1;");
    EXPECT_LT(PushWhileTaken(
                  *chunked, [] { return QByteArray(65536, 'x'); }, 2000),
              NetworkBuffers)
        << "a chunk extension without end";
    EXPECT_TRUE(FirstStatus(*chunked) == 413 || FirstStatus(*chunked) == 400);

    // Answers more than any write backlog, all there once the client reads,
    // without it sending anything more.
    QStringList names;
    for (int slot = 0; slot < 123; ++slot) {
        names << QString(100, QLatin1Char('a' + slot % 26));
    }
    Server->PublishSlots(names);
    auto reader = RawConnection(Port);
    constexpr int Asked = 400;
    reader->write(Request("GET /api/slots").repeated(Asked));
    QByteArray answers;
    EXPECT_TRUE(WaitUntil([&] {
        reader->waitForReadyRead(20);
        answers += reader->readAll();
        return answers.count("HTTP/1.1 200 OK") == Asked;
    })) << answers.count("HTTP/1.1 200 OK")
        << " of " << Asked;
}

TEST_F(BandAttackTest, AFollowerThatSpeaksIsLetGo)
{
    TFollowerClient honest(Port);
    ASSERT_TRUE(honest.WaitConnected());
    const auto letGo = [this](const QByteArray &frames) {
        TRawFollower speaker(Port, Loopback(3));
        if (!WaitUntil([&] {
                speaker.Take();
                return speaker.Upgraded();
            })) {
            return false;
        }
        speaker.Socket.write(frames);
        return WaitUntil(
            [&] {
                speaker.Take();
                return speaker.Closed();
            },
            3000);
    };
    EXPECT_TRUE(letGo(ClientFrame(0x1, "hello"))) << "a text message";
    EXPECT_TRUE(letGo(ClientFrame(0x2, "\x01\x02"))) << "a binary message";
    EXPECT_TRUE(letGo(ClientFrame(0x1, "hello", false))) << "an unmasked frame";
    EXPECT_TRUE(letGo(ClientFrame(0x9, "ping").repeated(200))) << "a flood of pings";
    EXPECT_TRUE(letGo(ClientFrame(0x1, QByteArray(5000, 'x')))) << "a message over 4 KiB";

    TBandState s;
    s.Slot = 9;
    Server->Publish(s);
    EXPECT_TRUE(honest.WaitFor([](const QJsonObject &o) { return o["slot"] == 9; }));
}

TEST_F(BandAttackTest, OnlyThisServersNamesAndPagesGetAnswers)
{
    const auto status = [this](const QByteArray &request) {
        return HttpExchange(Port, request).Status;
    };
    const QByteArray port = QByteArray::number(Port);
    EXPECT_EQ(status("GET /api/state HTTP/1.1\r\nHost: evil.example:" + port + "\r\n\r\n"), 421);
    EXPECT_EQ(status("GET /content/1 HTTP/1.1\r\nHost: evil.example\r\n\r\n"), 421);
    EXPECT_EQ(status("GET /api/slots HTTP/1.1\r\nHost: 127.0.0.1:1\r\n\r\n"), 421);
    EXPECT_EQ(status("GET /api/state HTTP/1.1\r\n\r\n"), 421);
    for (const QByteArray &host : {"127.0.0.1:" + port, "localhost:" + port, "[::1]:" + port}) {
        EXPECT_EQ(status("GET /api/state HTTP/1.1\r\nHost: " + host + "\r\n\r\n"), 200)
            << host.data();
    }

    const auto upgrade = [this](const QByteArray &origin) {
        TRawFollower follower(Port, QHostAddress::LocalHost, origin);
        WaitUntil([&] {
            follower.Take();
            return follower.HandshakeStatus() != 0 || follower.Closed();
        });
        return follower.HandshakeStatus();
    };
    EXPECT_EQ(upgrade("Origin: http://evil.example\r\n"), 403);
    EXPECT_EQ(upgrade("Origin: null\r\n"), 403);
    EXPECT_EQ(upgrade("Origin: http://127.0.0.1:" + port + "\r\n"), 101);
    EXPECT_EQ(status("POST /api/value HTTP/1.1\r\n" + HostHeader(Port) +
                     "Origin: http://evil.example\r\nAuthorization: Bearer " + Key +
                     "\r\nContent-Length: 12\r\n\r\n{\"value\": 5}"),
              403);
}

TEST_F(BandAttackTest, RequestsAreReadAsHttpWritesThem)
{
    int values = 0;
    QObject::connect(Server.get(), &TBandServer::ValueRequested, Server.get(), [&] { ++values; });
    const QByteArray command =
        "POST /api/value HTTP/1.1\r\n" + HostHeader(Port) + "Authorization: Bearer " + Key + "\r\n";

    // Codings the server does not read are refused, and their body is never
    // taken for the next request.
    for (const QByteArray coding : {"gzip", "chunked, gzip", "gzip, chunked"}) {
        auto socket = RawConnection(Port);
        socket->write(command + "Transfer-Encoding: " + coding + "\r\n\r\n" +
                      "c\r\n{\"value\": 5}\r\n0\r\n\r\n" + Request("POST /api/select"));
        EXPECT_NE(FirstStatus(*socket), 204) << coding.data();
    }

    auto expecting = RawConnection(Port);
    expecting->write(command + "Expect: 100-continue\r\nContent-Length: 12\r\n\r\n");
    EXPECT_EQ(FirstStatus(*expecting), 100);
    expecting->readAll();
    expecting->write("{\"value\": 6}");
    EXPECT_EQ(FirstStatus(*expecting), 204);
    auto other = RawConnection(Port);
    other->write(command + "Expect: the-moon\r\nContent-Length: 12\r\n\r\n{\"value\": 7}");
    EXPECT_EQ(FirstStatus(*other), 417);

    // One byte at a time, as a slow link may bring it.
    auto dribble = RawConnection(Port);
    const QByteArray whole = command + "Content-Length: 12\r\n\r\n{\"value\": 8}";
    for (char byte : whole) {
        dribble->write(&byte, 1);
        dribble->waitForBytesWritten(100);
    }
    EXPECT_EQ(FirstStatus(*dribble), 204);
    EXPECT_TRUE(WaitUntil([&] { return values == 2; })) << values;
}

TEST_F(BandAttackTest, APdfPageIsTheStagesPictureNeverARenderOfTheBands)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("chart.pdf"));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4 a chart the band never opens\n");
    file.close();

    TBandState s;
    s.Kind = QStringLiteral("pdf");
    s.File = pdf;
    s.Page = 3;
    Server->Publish(s);
    ASSERT_TRUE(WaitUntil([&] {
        return !QJsonDocument::fromJson(HttpGet(Port, "/api/state").Body)
                    .object()["content"]
                    .toString()
                    .isEmpty();
    }));
    const QByteArray content = QJsonDocument::fromJson(HttpGet(Port, "/api/state").Body)
                                   .object()["content"]
                                   .toString()
                                   .toLatin1();

    // Asked for before the stage has drawn the page: answered once it has.
    auto early = RawConnection(Port);
    early->write(Request("GET " + content + "?w=333"));
    QImage drawn(600, 800, QImage::Format_RGB32);
    drawn.fill(QColor(200, 0, 0));
    TPagePictures::Instance().Offer(pdf, 2, drawn);
    QByteArray answer;
    ASSERT_TRUE(WaitUntil([&] {
        early->waitForReadyRead(20);
        answer += early->readAll();
        return answer.contains("\r\n\r\n") &&
               QImage::fromData(answer.mid(answer.indexOf("\r\n\r\n") + 4), "PNG").width() > 0;
    }));
    const QImage served = QImage::fromData(answer.mid(answer.indexOf("\r\n\r\n") + 4), "PNG");
    EXPECT_EQ(served.size(), drawn.size()) << "whatever width was asked for";
    EXPECT_EQ(served.pixelColor(300, 400), QColor(200, 0, 0));
}

TEST_F(BandAttackTest, TheRemoteTakesAKeyGivenAfterItOpened)
{
    int values = 0;
    QObject::connect(Server.get(), &TBandServer::ValueRequested, Server.get(), [&] { ++values; });
    TBrowserPage page;
    const QString remote = QStringLiteral("http://127.0.0.1:%1/remote").arg(Port);
    ASSERT_TRUE(page.Load(QUrl(remote)));
    const auto script = [&page](const QString &code) { return page.Run(code); };
    const QString pressNext =
        QStringLiteral("document.querySelector('[data-value=\"126\"]').click()");
    const QString status = QStringLiteral("document.getElementById('status').textContent");

    script(pressNext);
    EXPECT_TRUE(WaitUntil([&] { return script(status).contains(QLatin1String("no key")); }));
    // The address from the Settings page, opened in the same tab.
    page.Page().setUrl(QUrl(remote + QLatin1Char('#') + QString::fromLatin1(Key)));
    EXPECT_TRUE(WaitUntil([&] { return script(status).isEmpty(); }));
    script(pressNext);
    EXPECT_TRUE(WaitUntil([&] { return values == 1; })) << script(status).toStdString();
}

} // namespace
} // namespace tarvello::test
