#include "MainLyricFixture.h"

#include "band/BandServer.h"
#include "pages/SettingsRemoteCode.h"
#include "support/BandClient.h"
#include "widgets/QrCode.h"
#include "widgets/WebBrowserView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QJsonObject>
#include <QSpinBox>
#include <QTcpServer>

namespace tarvello::test {
namespace {

void TurnOnBandScreens(const TMainControls &controls, quint16 port)
{
    controls.Find<QSpinBox>("seBandPort")->setValue(port);
    controls.Find<QCheckBox>("cbBandScreens")->setChecked(true);
}

TEST_F(TLyricTest, BandScreensFollowTheLyricPageAndTheRemoteDrivesTheShow)
{
    QFile text(Folder.filePath("intro.txt"));
    text.open(QIODevice::WriteOnly);
    text.write("Count in, then the riff");
    text.close();
    WritePdf(Folder.filePath("chart.pdf"), 3);
    FileGrid()->SetValue("1", "intro.txt");
    FileGrid()->SetValue("2", "chart.pdf /PAGE 2");
    FileGrid()->SetValue("3", "javascript://x/%0Aalert(1)");

    const quint16 port = FreePort();
    TurnOnBandScreens(*this, port);
    ASSERT_TRUE(Window->BandServer() && Window->BandServer()->Running());
    EXPECT_TRUE(Find<QLabel>("lBandAddress")->text().contains(QStringLiteral(":%1/").arg(port)));
    EXPECT_FALSE(Find<QLabel>("lBandQr")->pixmap().isNull());

    // The remote's list follows an edit before any song is chosen.
    FileGrid()->SetValue("4", "encore.txt");
    EXPECT_TRUE(WaitFor([port] { return HttpGet(port, "/api/slots").Body.contains("encore.txt"); }));

    TFollowerClient follower(port);
    ASSERT_TRUE(follower.WaitConnected());
    SelectValue(1);
    // The state after the draw: the caption then names the item.
    ASSERT_TRUE(follower.WaitFor([this](const QJsonObject &s) {
        return s["slot"] == 1 && s["caption"].toString() == Window->windowTitle();
    }));
    QJsonObject s = follower.Latest();
    EXPECT_EQ(s["kind"], "text");
    EXPECT_EQ(s["displayType"], "file");
    EXPECT_EQ(s["name"], "intro.txt");
    EXPECT_EQ(s["next"], "chart.pdf /PAGE 2");
    EXPECT_EQ(s["caption"].toString(), Window->windowTitle());
    EXPECT_TRUE(HttpGet(port, s["content"].toString().toLatin1()).Body.contains("then the riff"));

    SelectValue(2);
    // The band hears of the slot before the stage draws it, and of the page
    // shown once it is drawn: the second state is the one to read.
    ASSERT_TRUE(follower.WaitFor([this](const QJsonObject &s) {
        return s["slot"] == 2 && s["caption"].toString() == Window->windowTitle() &&
               s["pageCount"].toInt() > 0;
    }));
    EXPECT_EQ(follower.Latest()["kind"], "pdf");
    EXPECT_EQ(follower.Latest()["page"], 2);
    EXPECT_EQ(follower.Latest()["pageCount"], 3);
    const QByteArray page2 = follower.Latest()["content"].toString().toLatin1();
    const THttpAnswer png = HttpGet(port, page2 + "?w=800");
    EXPECT_TRUE(png.Body.startsWith("\x89PNG"));
    SelectValue(PageDownValue);
    ASSERT_TRUE(follower.WaitFor([](const QJsonObject &s) { return s["page"] == 3; }));
    EXPECT_NE(follower.Latest()["content"].toString().toLatin1(), page2);

    // An HTML page: the browser's scroll reaches the followers.
    QFile page(Folder.filePath("long.html"));
    page.open(QIODevice::WriteOnly);
    // Its alert must not stop the show with a dialog.
    page.write("<html><head><title>long</title><script>alert('x')</script></head><body>"
               "<div style='height:5000px'>Set list</div></body></html>");
    page.close();
    FileGrid()->SetValue("4", "long.html");
    SelectValue(4);
    ASSERT_TRUE(follower.WaitFor([](const QJsonObject &s) { return s["kind"] == "html"; }));
    EXPECT_TRUE(HttpGet(port, follower.Latest()["content"].toString().toLatin1())
                    .Body.contains("Set list"));
    QWebEngineView *view = Find<TWebBrowserView>("webFileBrowser")->EnsureBrowser();
    ASSERT_TRUE(Loaded(view, QUrl::fromLocalFile(Folder.filePath("long.html")), "long"));
    view->page()->runJavaScript("window.scrollTo(0, document.body.scrollHeight)");
    EXPECT_TRUE(
        follower.WaitFor([](const QJsonObject &s) { return s["scroll"].toDouble() > 0.99; }));

    // A slot's "javascript:" text runs in no page, on stage or with the band.
    EXPECT_EQ(TWebBrowserView::UrlOfReference("javascript://x/%0Aalert(1)"), QUrl("about:blank"));
    EXPECT_EQ(TWebBrowserView::UrlOfReference("https://example.org/x"),
              QUrl("https://example.org/x"));
    SelectValue(3);
    ASSERT_TRUE(follower.WaitFor([](const QJsonObject &s) { return s["kind"] == "web"; }));
    EXPECT_EQ(follower.Latest()["link"], "") << "only http and https become links";

    // The remote's value acts as MIDI does: the slot is shown and its MIDI sent.
    const int sent = SelectionMidiSent;
    EXPECT_EQ(HttpPost(port, "/api/value", R"({"value": 1})", Window->BandKey().toLatin1()).Status,
              204);
    EXPECT_TRUE(WaitFor([&] { return CurrentSlot() == 1; }));
    EXPECT_GT(SelectionMidiSent, sent);
    EXPECT_EQ(HttpPost(port, "/api/value", R"({"value": 2})", "wrong").Status, 401);
    QApplication::processEvents();
    EXPECT_EQ(CurrentSlot(), 1);

    Find<QCheckBox>("cbBandScreens")->setChecked(false);
    EXPECT_EQ(Window->BandServer(), nullptr);
    EXPECT_EQ(HttpGet(port, "/api/state").Status, 0) << "nothing listens once the box is cleared";
}

TEST_F(TMainWindowTest, BandScreensOnAPortInUseAreReportedAndTheShowGoesOn)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    LineGrid()->SetValue("4", "Ballad");
    TurnOnBandScreens(*this, other.serverPort());
    ASSERT_EQ(Dialogs.MessageTexts().size(), 1);
    EXPECT_TRUE(Dialogs.MessageTexts().front().startsWith(
        QStringLiteral("Band screens cannot listen on port %1").arg(other.serverPort())));
    EXPECT_TRUE(Find<QLabel>("lBandAddress")->text().startsWith("Not running"));
    SelectValue(4);
    EXPECT_EQ(PatchName()->text(), "4 - Ballad");

    // Another port: it runs.
    const quint16 port = FreePort();
    Find<QSpinBox>("seBandPort")->setValue(port);
    EXPECT_EQ(HttpGet(port, "/api/state").Status, 200);
}

TEST_F(TMainWindowTest, TheRemoteBringsBackTheStagePageAndNeverAnEditingPage)
{
    const quint16 port = FreePort();
    TurnOnBandScreens(*this, port);
    const auto stage = [&](const QByteArray &body) {
        EXPECT_EQ(HttpPost(port, "/api/select", body, Window->BandKey().toLatin1()).Status, 204);
        Spin(100);
        return Pages()->currentWidget();
    };
    for (const int type : {0, 1}) {
        UseDisplayType(type);
        QWidget *shows = Page(type == 0 ? "tsDisplay" : "tsLyric");
        OpenPage(type == 0 ? "tsTextEdit" : "tsFileList");
        EXPECT_EQ(stage(R"({"page": "Text List Edit"})"), shows) << type;
        EXPECT_EQ(stage(""), shows) << "stays on the stage page " << type;
        OpenPage("tsMidi");
        EXPECT_EQ(stage(""), shows) << type;
    }
}

TEST_F(TMainWindowTest, TheRemoteCodeIsShownOnlyOnDemandAndForAWhile)
{
    const quint16 port = FreePort();
    TurnOnBandScreens(*this, port);
    const QString remote = QStringLiteral("http://%1:%2/remote#%3")
                               .arg(TBandServer::LanAddress())
                               .arg(port)
                               .arg(Window->BandKey());
    const auto keyShown = [this] {
        for (const QWidget *widget : Window->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<const QLabel *>(widget);
            const auto *button = qobject_cast<const QAbstractButton *>(widget);
            for (const QString &text :
                 {label ? label->text() : QString(), button ? button->text() : QString(),
                  widget->toolTip(), widget->accessibleName(), widget->windowTitle()}) {
                if (text.contains(Window->BandKey())) {
                    return true;
                }
            }
        }
        return false;
    };
    QLabel *code = Find<QLabel>("lBandRemoteQr");
    EXPECT_TRUE(code->pixmap().isNull());
    EXPECT_FALSE(keyShown());
    EXPECT_EQ(Find<QAbstractButton>("bRemoteCode")->text(), "Show remote code");

    Find<TRemoteCode>("RemoteCode")->SetShowTime(std::chrono::milliseconds(300));
    Click("bRemoteCode");
    EXPECT_EQ(code->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              QrCodeImage(remote, 3).convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(Find<QLabel>("lBandRemote")->text().endsWith(remote));
    EXPECT_TRUE(keyShown());
    EXPECT_TRUE(WaitFor([&] { return code->pixmap().isNull(); }, 5000));
    EXPECT_FALSE(keyShown());
    EXPECT_EQ(Find<QAbstractButton>("bRemoteCode")->text(), "Show remote code");
}

} // namespace
} // namespace tarvello::test
