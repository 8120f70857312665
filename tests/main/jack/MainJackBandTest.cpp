// A follow page in a real browser (Qt WebEngine) while real MIDI over the
// tests' JACK server drives the show.
#include "../MainWindowFixture.h"
#include "band/BandServer.h"
#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "midi/RtMidiSystem.h"
#include "pdfcontrol/BuiltInPdfControl.h"
#include "support/BandClient.h"
#include "support/FakeDialogs.h"
#include "support/JackPeer.h"
#include "support/MainWindowControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

namespace tarvello::test {
namespace {

class MainJackBandTest : public TWindowTest {
protected:
    void SetUp() override
    {
        RegisterBuiltInPdfControl();
        PreviousDirectory = QDir::currentPath();
        QDir::setCurrent(Folder.path());
        Peer = std::make_unique<TJackPeer>();
        SetMidiSystem(std::make_shared<TRtMidiSystem>(TRtMidiSystem::TApi::Jack));
        MakeWindow(Dialogs);
        ListMidiDevices();
        const int input = MidiInput().Devices.IndexOf(TJackPeer::OutputPortName());
        ASSERT_GE(input, 0);
        ClickRow("lbMidiIn", input);
        Window->StartEmptyShow();
        Window->show();
        Port = FreePort();
        Find<QSpinBox>("seBandPort")->setValue(Port);
        Find<QCheckBox>("cbBandScreens")->setChecked(true);
        View.resize(640, 480);
        View.show();
        View.load(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(Port)));
    }

    void TearDown() override
    {
        Window.reset();
        ReleaseMidiDevices();
        Peer.reset();
        QDir::setCurrent(PreviousDirectory);
    }

    // What a script gives in the follow page, asked until it is `expected`.
    bool PageShows(const QString &script, const QString &expected)
    {
        QString last;
        const bool shown = WaitUntil(
            [&] {
                bool answered = false;
                View.page()->runJavaScript(script, [&](const QVariant &v) {
                    last = v.toString();
                    answered = true;
                });
                WaitUntil([&] { return answered; }, 2000);
                return last == expected;
            },
            15000);
        EXPECT_TRUE(shown) << script.toStdString() << " gave " << last.toStdString() << ", not "
                           << expected.toStdString();
        return shown;
    }

    QString PageValue(const QString &script)
    {
        QString value;
        bool answered = false;
        View.page()->runJavaScript(script, [&](const QVariant &v) {
            value = v.toString();
            answered = true;
        });
        WaitUntil([&] { return answered; }, 5000);
        return value;
    }

    QTemporaryDir Folder;
    QString PreviousDirectory;
    TFakeDialogs Dialogs;
    std::unique_ptr<TJackPeer> Peer;
    quint16 Port = 0;
    QWebEngineView View;
};

TEST_F(MainJackBandTest, TheFollowPageFollowsMidiAndPageTurnsAndComesBackAfterARestart)
{
    LineGrid()->SetValue("5", "Chorus, all together");
    Peer->Send(QByteArray::fromHex("C005"));
    PageShows("document.getElementById('line').textContent", "5 - Chorus, all together");
    PageShows("document.getElementById('mark').className", "mark online");

    {
        QPdfWriter writer(Folder.filePath("chart.pdf"));
        QPainter painter(&writer);
        painter.drawText(200, 200, "one");
        writer.newPage();
        painter.drawText(200, 200, "two");
    }
    FileGrid()->SetValue("2", "chart.pdf");
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsLyric");
    Peer->Send(QByteArray::fromHex("C002"));
    PageShows("document.getElementById('page').textContent", "1 / 2");
    PageShows("String(document.getElementById('pictureView').hidden)", "false");
    const QString first = PageValue("document.getElementById('picture').src");
    EXPECT_TRUE(first.contains("/content/"));
    PageShows("String(document.getElementById('picture').naturalWidth > 0)", "true");

    Peer->Send(QByteArray::fromHex("C07C")); // page down
    PageShows("document.getElementById('page').textContent", "2 / 2");
    EXPECT_NE(PageValue("document.getElementById('picture').src"), first);

    // The program's server goes and comes back: the page keeps its prompt
    // meanwhile and reconnects by itself.
    Find<QCheckBox>("cbBandScreens")->setChecked(false);
    PageShows("document.getElementById('mark').className", "mark offline");
    EXPECT_EQ(PageValue("document.getElementById('page').textContent"), "2 / 2");
    FileGrid()->SetValue("3", "chart.pdf /PAGE 1");
    Find<QCheckBox>("cbBandScreens")->setChecked(true);
    PageShows("document.getElementById('mark').className", "mark online");
    Peer->Send(QByteArray::fromHex("C003"));
    PageShows("document.getElementById('page').textContent", "1 / 2");
    EXPECT_EQ(Dialogs.MessageTexts(), QStringList());
}

} // namespace
} // namespace tarvello::test
