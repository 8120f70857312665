// A repertoire of shows chosen from a keyboard: Bank Select and Program
// Change over the tests' private JACK server.

#include "../MainWindowFixture.h"
#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "midi/RtMidiSystem.h"
#include "show/ShowBank.h"
#include "show/ShowFile.h"
#include "support/FakeDialogs.h"
#include "support/JackPeer.h"
#include "support/MainWindowControls.h"
#include "support/Wait.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace tarvello::test {
namespace {

class MainJackShowsTest : public TWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        PreviousDirectory = QDir::currentPath();
        QDir::setCurrent(Folder.path());
        ASSERT_TRUE(QDir(Folder.path()).mkpath(QStringLiteral("shows")));
        WriteFile(QStringLiteral("Tarvello.INI"),
                  "[Setting]\r\nMidiStringOut=1\r\n[Lines]\r\nText 6=home five\r\n"
                  "[Stage]\r\nReleaseWindow=0\r\n[Shows]\r\nCount=3\r\nShow 1=0;;Home\r\n"
                  "Show 2=2;shows/two.ini;Ballads\r\nShow 3=3;shows/three.ini;Covers\r\n");
        TShowContents two;
        two.Lines[5] = QStringLiteral("two five");
        two.Lines[6] = QStringLiteral("two six");
        two.Strings[RowOfSlot(5)] = QStringList{QStringLiteral("B1 07 33")};
        WriteFile(QStringLiteral("shows/two.ini"), ShowFileBytes({QStringLiteral("Ballads"), 2}, two));
        TShowContents three;
        three.Lines[0] = QStringLiteral("three zero");
        WriteFile(QStringLiteral("shows/three.ini"),
                  ShowFileBytes({QStringLiteral("Covers"), 3}, three));

        Peer = std::make_unique<TJackPeer>();
        SetMidiSystem(std::make_shared<TRtMidiSystem>(TRtMidiSystem::TApi::Jack));
        Start();
    }

    void TearDown() override
    {
        Window.reset();
        ReleaseMidiDevices();
        Peer.reset();
        QDir::setCurrent(PreviousDirectory);
    }

    void Start()
    {
        Window = std::make_unique<TfMain>(Dialogs);
        Window->FormCreate(Folder.filePath(QStringLiteral("Tarvello.INI")));
        Window->show();
        QApplication::processEvents();
        ClickRow("lbMidiIn",
                 int(ItemTexts(Find<QListWidget>("lbMidiIn")).indexOf(TJackPeer::OutputPortName())));
        ClickRow("lbMidiOut", int(ItemTexts(Find<QListWidget>("lbMidiOut"))
                                      .indexOf(TJackPeer::InputPortName())));
    }

    void WriteFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(Folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void Send(const char *hex) { Peer->Send(QByteArray::fromHex(hex)); }
    TShowBank &Bank() const { return *Find<TShowBank>("ShowBank"); }
    bool Shows(int show, int slot) const
    {
        return Bank().Current() == show && CurrentSlot() == slot;
    }
    bool Received(const char *hex) const
    {
        const auto all = Peer->Received();
        return std::find(all.begin(), all.end(), QByteArray::fromHex(hex)) != all.end();
    }

    QTemporaryDir Folder;
    QString PreviousDirectory;
    TFakeDialogs Dialogs;
    std::unique_ptr<TJackPeer> Peer;
};

TEST_F(MainJackShowsTest, ABankAndItsProgramOpenTheShowAndItsSlotTogether)
{
    Send("B00000");
    Send("B02002");
    Send("C005");
    ASSERT_TRUE(WaitFor([&] { return Shows(2, 5); }));
    EXPECT_EQ(PatchName()->text(), QStringLiteral("5 - two five"));
    EXPECT_TRUE(Window->windowTitle().contains(QStringLiteral("Show 2: Ballads")))
        << Window->windowTitle().toStdString();
    EXPECT_TRUE(Find<QLabel>("lShowName")->isVisible());
    ASSERT_TRUE(WaitFor([&] { return Received("B10733"); })) << "show 2's MIDI strings";

    Send("C006");
    ASSERT_TRUE(WaitFor([&] { return Shows(2, 6); })) << "no new bank: the same show";
    EXPECT_EQ(PatchName()->text(), QStringLiteral("6 - two six"));

    Send("B02003");
    Spin(300);
    EXPECT_TRUE(Shows(2, 6)) << "a bank alone changes nothing";

    // A bank forgotten for a selection made elsewhere in between.
    Send("B02003");
    Spin(100);
    SelectValue(7);
    Send("C006");
    Spin(300);
    EXPECT_TRUE(Shows(2, 6));

    Send("B02007");
    Send("C001");
    ASSERT_TRUE(WaitFor([&] { return Window->windowTitle().contains("No show 7"); }))
        << Window->windowTitle().toStdString();
    EXPECT_TRUE(Shows(2, 6));
    EXPECT_EQ(PatchName()->text(), QStringLiteral("6 - two six"));

    // A show added takes a free number; the others keep theirs.
    Find<QPushButton>("bShows")->click();
    Find<QPushButton>("bAddShow")->click();
    ASSERT_TRUE(Bank().List().Has(1));
    EXPECT_EQ(Bank().List().Find(3)->Name, QStringLiteral("Covers"));
    Send("B00000");
    Send("B02003");
    Send("C000");
    ASSERT_TRUE(WaitFor([&] { return Shows(3, 0); }));

    // The show open at the end opens at the next start.
    Window->FormDestroy();
    Window.reset();
    ReleaseMidiDevices();
    Start();
    EXPECT_EQ(Bank().Current(), 3);
    EXPECT_EQ(Bank().List().Count(), 4);
}

} // namespace
} // namespace tarvello::test
