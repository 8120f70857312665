#include "band/BandServer.h"
#include "core/TarvelloError.h"
#include "support/BandClient.h"
#include "support/BrowserPage.h"
#include "support/RawClients.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace tarvello::test {
namespace {

const QByteArray Key = "0123456789abcdef0123456789abcdef";

class BandServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Port = FreePort();
        Server = std::make_unique<TBandServer>();
        Server->Start(Port, QString::fromLatin1(Key));
    }

    QString WriteFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = Folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    TBandState Shown(const QString &kind, const QString &file = {}, int page = 1)
    {
        TBandState s;
        s.Slot = 4;
        s.DisplayType = QStringLiteral("file");
        s.Kind = kind;
        s.Name = QFileInfo(file).fileName();
        s.Next = QStringLiteral("outro.txt");
        s.File = file;
        s.Page = page;
        return s;
    }

    QJsonObject State() const
    {
        return QJsonDocument::fromJson(HttpGet(Port, "/api/state").Body).object();
    }

    QTemporaryDir Folder;
    quint16 Port = 0;
    std::unique_ptr<TBandServer> Server;
};

TEST_F(BandServerTest, FollowersGetTheStateAtOnceAndEveryChangeWithItsContent)
{
    TFollowerClient follower(Port);
    ASSERT_TRUE(follower.WaitConnected());

    TBandState line;
    line.Slot = 12;
    line.Caption = QStringLiteral("Tarvello v1.4.0 - Midi Patch 12");
    line.Kind = QStringLiteral("line");
    line.Name = QStringLiteral("Bridge");
    line.Next = QStringLiteral("Last chorus");
    line.Text = QStringLiteral("12 - Bridge");
    Server->Publish(line);
    ASSERT_TRUE(follower.WaitFor([](const QJsonObject &s) { return s["slot"].toInt() == 12; }));
    const QJsonObject pushed = follower.Latest();
    EXPECT_EQ(pushed["text"].toString(), "12 - Bridge");
    EXPECT_EQ(pushed["displayType"].toString(), "text");
    EXPECT_EQ(pushed["next"].toString(), "Last chorus");
    EXPECT_EQ(pushed["content"].toString(), "");
    const QJsonObject asked = State();
    EXPECT_EQ(asked, pushed) << "GET /api/state answers what the socket pushed";

    // A text file: its content is HTML, served under the state's path only
    // while it is the prompt shown.
    const QString text = WriteFile("lyrics.txt", "Verse <one>\r\nline two\r\n");
    Server->Publish(Shown("text", text));
    ASSERT_TRUE(follower.WaitFor([](const QJsonObject &s) { return s["kind"] == "text"; }));
    const QJsonObject textState = follower.Latest();
    EXPECT_GT(textState["seq"].toInt(), pushed["seq"].toInt());
    const QByteArray textPath = textState["content"].toString().toLatin1();
    const THttpAnswer html = HttpGet(Port, textPath);
    EXPECT_EQ(html.Status, 200);
    EXPECT_TRUE(html.Body.contains("Verse &lt;one&gt;")) << html.Body.constData();
    EXPECT_TRUE(html.Head.contains("Content-Security-Policy: default-src 'none'"));

    // Scrolling keeps the content's path, so followers fetch nothing again.
    TBandState scrolled = Shown("text", text);
    scrolled.Scroll = 0.5;
    Server->Publish(scrolled);
    ASSERT_TRUE(
        follower.WaitFor([](const QJsonObject &s) { return s["scroll"].toDouble() == 0.5; }));
    EXPECT_EQ(follower.Latest()["content"].toString().toLatin1(), textPath);

    // RTF comes as HTML without its links.
    const QString rtf = WriteFile(
        "song.rtf", "{\\rtf1\\ansi{\\field{\\*\\fldinst{HYPERLINK \"javascript:alert(1)\"}}"
                    "{\\fldrslt Chorus}}\\par Second line}");
    Server->Publish(Shown("rtf", rtf));
    ASSERT_TRUE(follower.WaitFor([](const QJsonObject &s) { return s["kind"] == "rtf"; }));
    const THttpAnswer rtfHtml = HttpGet(Port, follower.Latest()["content"].toString().toLatin1());
    EXPECT_TRUE(rtfHtml.Body.contains("Chorus"));
    EXPECT_FALSE(rtfHtml.Body.contains("href")) << rtfHtml.Body.constData();
    EXPECT_FALSE(rtfHtml.Body.contains("javascript"));
    EXPECT_EQ(HttpGet(Port, textPath).Status, 404) << "the prompt before is no longer served";

    // A web address becomes a link only for http and https.
    TBandState web = Shown("web");
    web.Name = QStringLiteral("https://example.org/chart");
    Server->Publish(web);
    ASSERT_TRUE(follower.WaitFor([](const QJsonObject &s) { return s["kind"] == "web"; }));
    EXPECT_EQ(follower.Latest()["link"].toString(), "https://example.org/chart");
    for (const char *hostile :
         {"javascript://example.org/%0Aalert(1)", "file:///etc/passwd", "data://text/html,x"}) {
        web.Name = QString::fromLatin1(hostile);
        Server->Publish(web);
        ASSERT_TRUE(follower.WaitFor([&](const QJsonObject &s) { return s["name"] == web.Name; }));
        EXPECT_EQ(follower.Latest()["link"].toString(), "") << hostile;
    }

    // The pages are there, each under a policy that runs only their own
    // scripts.
    for (const char *page : {"/", "/remote", "/follow.js", "/remote.js", "/band.css"}) {
        const THttpAnswer answer = HttpGet(Port, page);
        EXPECT_EQ(answer.Status, 200) << page;
        EXPECT_FALSE(answer.Body.isEmpty()) << page;
    }
    EXPECT_TRUE(HttpGet(Port, "/").Head.contains("script-src 'self'"));
}

TEST_F(BandServerTest, CommandsNeedTheKeyAndAValueFrom0To127)
{
    QList<int> values;
    int selects = 0;
    // Heard on this thread, as the window hears them.
    QObject::connect(Server.get(), &TBandServer::ValueRequested, Server.get(),
                     [&](int v) { values.append(v); });
    QObject::connect(Server.get(), &TBandServer::SelectRequested, Server.get(), [&] { ++selects; });

    EXPECT_EQ(HttpPost(Port, "/api/value", R"({"value": 5})").Status, 401);
    EXPECT_EQ(
        HttpPost(Port, "/api/value", R"({"value": 5})", "0123456789abcdef0123456789abcdee").Status,
        401);
    EXPECT_EQ(HttpPost(Port, "/api/value", R"({"value": 5})", Key.left(31)).Status, 401);
    EXPECT_EQ(HttpPost(Port, "/api/select", "").Status, 401);
    EXPECT_EQ(HttpPost(Port, "/api/value", "nonsense").Status, 401) << "the key is asked first";
    EXPECT_EQ(HttpExchange(Port, "POST /api/value HTTP/1.1\r\n" + HostHeader(Port) +
                                     "Authorization: Basic " + Key +
                                     "\r\nContent-Length: 12\r\n\r\n{\"value\": 5}")
                  .Status,
              401);

    for (const char *bad : {"", "{}", "[5]", "5", "nonsense", R"({"value": 128})",
                            R"({"value": -1})", R"({"value": 1.5})", R"({"value": "5"})",
                            R"({"value": 5, "slot": 3})", R"({"value": null})"}) {
        EXPECT_EQ(HttpPost(Port, "/api/value", bad, Key).Status, 400) << bad;
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(values.isEmpty()) << "nothing acts on a refused command";
    EXPECT_EQ(selects, 0);

    EXPECT_EQ(HttpPost(Port, "/api/value", R"({"value": 0})", Key).Status, 204);
    EXPECT_EQ(HttpPost(Port, "/api/value", R"({ "value" : 127 })", Key).Status, 204);
    EXPECT_EQ(HttpPost(Port, "/api/select", "", Key).Status, 204);
    ASSERT_TRUE(WaitUntil([&] { return values.size() == 2 && selects == 1; }));
    EXPECT_EQ(values, QList<int>({0, 127}));

    // Shows: listed for anyone, opened with the key, numbers 0 to 16383.
    QList<int> shows;
    QObject::connect(Server.get(), &TBandServer::ShowRequested, Server.get(),
                     [&](int show) { shows.append(show); });
    Server->PublishShows({{0, QStringLiteral("Home")}, {16383, QStringLiteral("Last")}});
    EXPECT_EQ(HttpGet(Port, "/api/shows").Body,
              R"([{"name":"Home","show":0},{"name":"Last","show":16383}])");
    EXPECT_EQ(HttpPost(Port, "/api/show", R"({"show": 2})").Status, 401);
    EXPECT_EQ(HttpPost(Port, "/api/show", R"({"show": 16384})", Key).Status, 400);
    EXPECT_EQ(HttpPost(Port, "/api/show", R"({"value": 2})", Key).Status, 400);
    EXPECT_EQ(HttpPost(Port, "/api/show", R"({"show": 16383})", Key).Status, 204);
    ASSERT_TRUE(WaitUntil([&] { return !shows.isEmpty(); }));
    EXPECT_EQ(shows, QList<int>{16383});

    // Bodies over 4 KiB: 413, also when only the header announces one.
    EXPECT_EQ(HttpPost(Port, "/api/value", QByteArray(5000, ' ') + R"({"value": 1})", Key).Status,
              413);
    EXPECT_EQ(HttpExchange(Port, "POST /api/value HTTP/1.1\r\n" + HostHeader(Port) +
                                     "Authorization: Bearer " + Key +
                                     "\r\nContent-Length: 200000000\r\n\r\n")
                  .Status,
              413);
    EXPECT_EQ(HttpExchange(Port, "POST /api/value HTTP/1.1\r\n" + HostHeader(Port) +
                                     "Transfer-Encoding: chunked\r\n\r\n2000\r\n" +
                                     QByteArray(0x2000, 'x') + "\r\n0\r\n\r\n")
                  .Status,
              413);
    EXPECT_EQ(HttpGet(Port, "/api/value").Status, 405);
    EXPECT_EQ(HttpExchange(Port, "NOT HTTP AT ALL\r\n\r\n").Status, 400);
    EXPECT_EQ(HttpExchange(Port, "GET / HTTP/1.1\r\n" + HostHeader(Port) +
                                     "X: " + QByteArray(10000, 'a') + "\r\n\r\n")
                  .Status,
              431);
    QCoreApplication::processEvents();
    EXPECT_EQ(values.size(), 2);
}

TEST_F(BandServerTest, NoRequestReachesAnyFileButThePromptShown)
{
    QTemporaryDir outside;
    QFile secret(outside.filePath("secret.txt"));
    secret.open(QIODevice::WriteOnly);
    secret.write("SECRET");
    secret.close();
    QDir show(Folder.path());
    show.mkdir("show");
    QFile::link(secret.fileName(), Folder.filePath("show/escape.txt"));
    const QString shown = WriteFile("show/intro.txt", "Intro");
    Server->Publish(Shown("text", shown));
    ASSERT_TRUE(WaitUntil([&] { return State()["kind"] == "text"; }));
    const QByteArray content = State()["content"].toString().toLatin1();
    EXPECT_EQ(HttpGet(Port, content).Status, 200);

    const QByteArray secretPath = secret.fileName().toUtf8();
    for (const QByteArray &target :
         {content + "/../escape.txt", content + "/escape.txt", QByteArray("/content/escape.txt"),
          QByteArray("/content/../show/escape.txt"),
          QByteArray("/content/%2e%2e/%2e%2e/etc/passwd"),
          QByteArray("/content/..%2f..%2fetc%2fpasswd"), QByteArray("/../../etc/passwd"),
          QByteArray("/content/") + secretPath, QByteArray("/content//etc/passwd"), secretPath,
          QByteArray("/%2e%2e/%2e%2e") + secretPath, QByteArray("/etc/passwd"),
          QByteArray("/content/1%00.txt"), QByteArray("/content/-1"), QByteArray("/content/"),
          QByteArray("http://localhost") + content + "/../../etc/passwd",
          QByteArray("/follow.js/../../etc/passwd")}) {
        const THttpAnswer answer = HttpGet(Port, target);
        EXPECT_TRUE(answer.Status == 404 || answer.Status == 400)
            << target.constData() << " gave " << answer.Status;
        EXPECT_FALSE(answer.Body.contains("SECRET")) << target.constData();
        EXPECT_FALSE(answer.Body.contains("root:")) << target.constData();
    }
}

TEST_F(BandServerTest, SlowClientsGetTheNewestStateAndAreLetGoInTime)
{
    // Two followers whose browsers hang after the handshake: one comes back,
    // one never does.
    TRawFollower returning(Port);
    TRawFollower gone(Port);
    TFollowerClient reader(Port);
    ASSERT_TRUE(reader.WaitConnected());
    ASSERT_TRUE(WaitUntil([&] {
        returning.Take();
        gone.Take();
        return returning.Upgraded() && gone.Upgraded();
    }));
    returning.Stall();
    gone.Stall();
    // A kept-alive connection whose next request never comes whole.
    auto halfSent = RawConnection(Port);
    halfSent->write("GET /api/state HTTP/1.1\r\n" + HostHeader(Port) + "\r\n");
    ASSERT_EQ(FirstStatus(*halfSent), 200);
    halfSent->write("GET /api/state HTTP/1.1\r\n");

    // Far more than the network's buffers hold, state by state...
    const auto publish = [this](const QString &name, int size) {
        TBandState s;
        s.Kind = QStringLiteral("line");
        s.Name = name;
        s.Text = QString(size, QLatin1Char('a'));
        Server->Publish(s);
        QThread::usleep(200);
    };
    for (int i = 0; i < 400; ++i) {
        publish(QStringLiteral("A%1").arg(i), 30000);
    }
    // ...then the states of the show while they hang.
    for (int i = 0; i < 300; ++i) {
        publish(QStringLiteral("B%1").arg(i), 100);
    }
    EXPECT_TRUE(reader.WaitFor([](const QJsonObject &o) { return o["name"] == "B299"; }))
        << "the reading follower has the latest state";
    EXPECT_EQ(HttpGet(Port, "/api/state").Status, 200);

    returning.Resume();
    ASSERT_TRUE(WaitUntil([&] {
        returning.Take();
        return !returning.Texts.isEmpty() &&
               QJsonDocument::fromJson(returning.Texts.back()).object()["name"] == "B299";
    })) << "once it reads, the newest state reaches it";
    int whileHanging = 0;
    for (const QByteArray &text : std::as_const(returning.Texts)) {
        whileHanging += QJsonDocument::fromJson(text).object()["name"].toString().startsWith('B');
    }
    EXPECT_LE(whileHanging, 3) << "not the states it missed, only the newest";

    // What the server wrote before it let go is still on its way; behind it
    // comes the end of the connection.
    WaitUntil([] { return false; }, 11000);
    gone.Resume();
    EXPECT_TRUE(WaitUntil([&] {
        gone.Take();
        return gone.Closed();
    })) << "a follower that takes nothing for 10 s is dropped";
    returning.Take();
    EXPECT_FALSE(returning.Closed());
    EXPECT_TRUE(WaitUntil(
        [&] {
            halfSent->readAll();
            return halfSent->state() == QAbstractSocket::UnconnectedState;
        },
        1000))
        << "a request not whole in 10 s is dropped, kept-alive or not";
}

TEST(BandServer, APortInUseIsAClearErrorAndTheServerCanStartElsewhere)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    TBandServer server;
    try {
        server.Start(other.serverPort(), QString::fromLatin1(Key));
        FAIL() << "started on a port in use";
    } catch (const TError &error) {
        EXPECT_TRUE(error.message().contains(QString::number(other.serverPort())));
        EXPECT_TRUE(error.message().startsWith("Band screens cannot listen on port"));
    }
    EXPECT_FALSE(server.Running());
    const quint16 free = FreePort();
    server.Start(free, QString::fromLatin1(Key));
    EXPECT_TRUE(server.Running());
    EXPECT_EQ(HttpGet(free, "/api/state").Status, 200);
    server.Stop();
    EXPECT_EQ(HttpGet(free, "/api/state").Status, 0);
}

TEST_F(BandServerTest, ASlotOnTheRemoteGoesOnlyOnASecondTapOnItWithinThreeSeconds)
{
    QList<int> values;
    QObject::connect(Server.get(), &TBandServer::ValueRequested, Server.get(),
                     [&](int v) { values.append(v); });
    Server->PublishSlots({"Intro", "Verse", "Ballad", "Encore"});
    TBrowserPage remote;
    ASSERT_TRUE(remote.Load(
        QUrl(QStringLiteral("http://127.0.0.1:%1/remote#%2").arg(Port).arg(QLatin1String(Key)))));
    ASSERT_TRUE(WaitUntil(
        [&] { return remote.Run("document.querySelectorAll('#slots button').length") == "4"; }));
    const auto slot = QStringLiteral("document.querySelector('#slots [data-slot=\"%1\"]')");
    const auto tap = [&](int key) { remote.Run(slot.arg(key) + ".click()"); };
    const auto asks = [&](int key) {
        return remote.Run(slot.arg(key) + ".textContent").contains("tap again to go");
    };

    tap(2);
    EXPECT_TRUE(asks(2));
    tap(1);
    EXPECT_FALSE(asks(2)) << "a tap on another slot starts over";
    EXPECT_TRUE(asks(1));
    tap(2);
    remote.Run("document.querySelector('[data-value=\"123\"]').click()");
    EXPECT_FALSE(asks(2)) << "a tap elsewhere starts over";
    tap(2);
    // Three seconds on: the page's clock moves on rather than the test waiting.
    remote.Run("(() => { const now = Date.now; Date.now = () => now() + 3100; })()");
    tap(2);
    EXPECT_TRUE(asks(2)) << "a late second tap only marks the slot again";
    tap(2);
    ASSERT_TRUE(WaitUntil([&] { return values.contains(2); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(values, QList<int>({123, 2})) << "only the Line Up and the confirmed slot went out";
    EXPECT_FALSE(asks(2));
}

} // namespace
} // namespace tarvello::test
