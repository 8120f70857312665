#include "MainMidiFixture.h"

#include "core/TarvelloError.h"
#include "main/DonateAddress.h"
#include "pdfviewer/PdfViewer.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QtTest/qtestspontaneevent.h>

namespace tarvello::test {
namespace {

using TSettingsPageTest = TMainMidiTest;

QPushButton *PadButton(TfTouch &pad, const char *name)
{
    return pad.findChild<QPushButton *>(QString::fromLatin1(name));
}

TEST_F(TSettingsPageTest, DeviceClicksCloseTheOldDeviceAndOpenTheNew)
{
    // The device already chosen is closed and opened again.
    ClickRow("lbMidiIn", 0);
    EXPECT_EQ(Fake->Calls().filter(QStringLiteral("InClose")).size(), 1);
    EXPECT_EQ(Fake->Calls().filter(QStringLiteral("InOpen")).size(), 1);
    EXPECT_TRUE(Fake->IsInputOpen(0));
    Fake->ClearCalls();

    ClickRow("lbMidiIn", 1);
    EXPECT_EQ(Fake->Calls().filter(QStringLiteral("InClose")).size(), 1);
    EXPECT_FALSE(Fake->IsInputOpen(0));
    EXPECT_TRUE(Fake->IsInputOpen(1));
    EXPECT_EQ(Engine().Midi().InputDevice, 1);

    // The stored device was not found at start-up: nothing to close.
    Engine().Midi().InputDevice = -1;
    ClickRow("lbMidiIn", 0);
    EXPECT_TRUE(Fake->IsInputOpen(0));
    EXPECT_EQ(Engine().Midi().InputDevice, 0);
    // Nor does an index beyond the list.
    Engine().Midi().InputDevice = 7;
    ClickRow("lbMidiIn", 1);
    EXPECT_TRUE(Fake->IsInputOpen(1));
    EXPECT_EQ(Engine().Midi().InputDevice, 1);

    ClickRow("lbMidiOut", 0);
    EXPECT_TRUE(Fake->IsOutputOpen(0));
    EXPECT_FALSE(Fake->IsOutputOpen(1));
    EXPECT_EQ(Engine().Midi().OutputDevice, 0);
}

TEST_F(TSettingsPageTest, ARefusedDeviceLeavesNoneClaimedOpen)
{
    Fake->FailCall(QStringLiteral("InOpen"), MidiResult::Allocated);
    ClickRow("lbMidiIn", 1);
    EXPECT_EQ(Dialogs.MessageTexts().size(), 1);
    EXPECT_FALSE(Fake->IsInputOpen(0));
    EXPECT_FALSE(Fake->IsInputOpen(1));
    EXPECT_EQ(Engine().Midi().InputDevice, -1);
    // The next click opens it without an index error.
    ClickRow("lbMidiIn", 1);
    EXPECT_EQ(Dialogs.MessageTexts().size(), 1);
    EXPECT_EQ(Engine().Midi().InputDevice, 1);

    // Opened but not started: closed again, so the next click starts it.
    Fake->FailCall(QStringLiteral("InStart"), MidiResult::NotEnabled);
    ClickRow("lbMidiIn", 0);
    EXPECT_EQ(Dialogs.MessageTexts().size(), 2);
    EXPECT_FALSE(Fake->IsInputOpen(0));
    EXPECT_EQ(Engine().Midi().InputDevice, -1);
    ClickRow("lbMidiIn", 0);
    EXPECT_EQ(Dialogs.MessageTexts().size(), 2);
    Receive("C007");
    EXPECT_TRUE(WaitFor([&] { return CurrentSlot() == 7; }));

    Fake->FailCall(QStringLiteral("OutOpen"), MidiResult::Allocated);
    ClickRow("lbMidiOut", 0);
    EXPECT_EQ(Dialogs.MessageTexts().size(), 3);
    EXPECT_EQ(Engine().Midi().OutputDevice, -1);
}

TEST_F(TSettingsPageTest, MessageTypeChannelAndControllerRewriteTheLabels)
{
    QListWidget *channels = Find<QListWidget>("lbChannel");
    QListWidget *controllers = Find<QListWidget>("lbController");
    ChooseItem("rgDisplayType", 1);
    EXPECT_EQ(Find<QLabel>("lNextItem")->text(),
              QStringLiteral("Next Prompt - 192, 126   (C0, 7E)"));
    EXPECT_EQ(Find<QLabel>("lPrevPage")->text(),
              QStringLiteral("Page Up      - 192, 125   (C0, 7D)"));

    // Keys move the channel as a click would; setting it from code does not.
    channels->setCurrentRow(14);
    EXPECT_EQ(Engine().Midi().Channel, 0);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(channels, &down);
    ASSERT_TRUE(WaitFor([&] { return Engine().Midi().Channel == 15; }));
    EXPECT_EQ(channels->currentRow(), 15);
    EXPECT_EQ(Find<QLabel>("lNextPage")->text(), QStringLiteral("Page Down - 207, 124   (CF, 7C)"));

    // No controller chosen yet.
    Engine().Midi().Controller = -1;
    Find<TRadioGroup>("rgMessage")->SetItemIndex(1);
    EXPECT_EQ(Engine().Midi().MessageType, 0xB0);
    EXPECT_FALSE(Find<QLabel>("lController")->isHidden());
    EXPECT_FALSE(controllers->isHidden());
    EXPECT_EQ(Find<QLabel>("lPreviousItem")->text(),
              QStringLiteral("Prev Prompt - 191, -1, 127   (BF, FFFFFFFF, 7F)"));

    ClickRow("lbController", 7);
    ClickRow("lbChannel", 9);
    EXPECT_EQ(Find<QLabel>("lPreviousItem")->text(),
              QStringLiteral("Prev Prompt - 185, 7, 127   (B9, 07, 7F)"));

    // Back in patch mode the controller list goes but its choice stays.
    Find<TRadioGroup>("rgMessage")->SetItemIndex(0);
    EXPECT_EQ(Engine().Midi().MessageType, 0xC0);
    EXPECT_TRUE(controllers->isHidden());
    EXPECT_TRUE(Find<QLabel>("lController")->isHidden());
    EXPECT_EQ(Engine().Midi().Controller, 7);

    // A text line has no paging.
    ChooseItem("rgDisplayType", 0);
    EXPECT_TRUE(Find<QLabel>("lNextPage")->text().isEmpty());
    EXPECT_TRUE(Find<QLabel>("lPrevPage")->text().isEmpty());
    EXPECT_FALSE(Find<QLabel>("lNextItem")->text().isEmpty());
}

TEST_F(TSettingsPageTest, DisplayTypeSwitchesTabsAndThePadsScrollButtons)
{
    TfTouch pad(203, 372);
    Window->SetTouchPad(&pad);
    const auto tabShown = [&](QWidget *page) {
        return Pages()->isTabVisible(Pages()->indexOf(page));
    };
    const char *scrollButtons[] = {"bPageUp", "bPageDown", "bLineUp", "bLineDown"};

    Find<TRadioGroup>("rgDisplayType")->SetItemIndex(1);
    EXPECT_TRUE(tabShown(Page("tsLyric")));
    EXPECT_TRUE(tabShown(Page("tsFileList")));
    EXPECT_FALSE(tabShown(Page("tsDisplay")));
    EXPECT_FALSE(tabShown(Page("tsTextEdit")));
    for (const char *name : scrollButtons) {
        EXPECT_TRUE(PadButton(pad, name)->isEnabled()) << name;
    }

    Find<TRadioGroup>("rgDisplayType")->SetItemIndex(0);
    EXPECT_TRUE(tabShown(Page("tsDisplay")));
    EXPECT_TRUE(tabShown(Page("tsTextEdit")));
    EXPECT_FALSE(tabShown(Page("tsLyric")));
    EXPECT_TRUE(tabShown(Page("tsMidi")));
    for (const char *name : scrollButtons) {
        EXPECT_FALSE(PadButton(pad, name)->isEnabled()) << name;
    }
    for (const char *name : {"bPrevFile", "bNextFile", "bSelect"}) {
        EXPECT_TRUE(PadButton(pad, name)->isEnabled()) << name;
    }
    Window->SetTouchPad(nullptr);
}

TEST_F(TSettingsPageTest, PdfScrollbarsAndDonate)
{
    QCheckBox *scrollbars = Find<QCheckBox>("cbPdfScrollbar");
    TPdfViewer *viewer = Find<TPdfViewer>("PdfViewer");
    scrollbars->setChecked(true);
    EXPECT_TRUE(viewer->ShowScrollBars());
    scrollbars->setChecked(false);
    EXPECT_FALSE(viewer->ShowScrollBars());

    QList<QUrl> opened;
    Window->SetUrlOpener([&](const QUrl &address) {
        opened << address;
        return false;
    });
    EXPECT_NO_THROW(Find<QToolButton>("sbDonate")->click());
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(DonateAddress)}));
    EXPECT_TRUE(Dialogs.Records.empty());
}

TEST_F(TSettingsPageTest, NavPadFollowsTheBoxThePaintAndItsCloseBox)
{
    QCheckBox *padBox = Find<QCheckBox>("cbTouchPad");
    // Before the pad exists the box does nothing.
    padBox->setChecked(true);
    TfTouch pad(203, 372);
    Window->SetTouchPad(&pad);
    EXPECT_FALSE(pad.isVisible());
    // The main window's next paint shows it.
    Window->repaint();
    EXPECT_TRUE(pad.isVisible());

    padBox->setChecked(false);
    EXPECT_FALSE(pad.isVisible());
    Window->repaint();
    EXPECT_FALSE(pad.isVisible());

    padBox->setChecked(true);
    EXPECT_TRUE(pad.isVisible());
    const QPoint at = pad.pos();
    QCloseEvent byOperator;
    // As the window system delivers the close box: sendEvent() would take the
    // spontaneous mark off again.
    QSpontaneKeyEvent::setSpontaneous(&byOperator);
    QCoreApplication::instance()->notify(&pad, &byOperator);
    EXPECT_FALSE(pad.isVisible());
    EXPECT_FALSE(padBox->isChecked());
    padBox->setChecked(true);
    EXPECT_TRUE(pad.isVisible());
    EXPECT_EQ(pad.pos(), at);
    Window->SetTouchPad(nullptr);
}

TEST_F(TSettingsPageTest, NavPadButtonsNavigateAndSelectSwitchesPages)
{
    TfTouch pad(203, 372);
    Window->SetTouchPad(&pad);
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsLyric");
    FileGrid()->SetValue(QStringLiteral("4"), QStringLiteral("missing-four.txt"));
    SelectValue(3);

    PadButton(pad, "bNextFile")->click();
    EXPECT_EQ(CurrentSlot(), 4);
    EXPECT_EQ(FileGrid()->Row(), 5);
    PadButton(pad, "bPrevFile")->click();
    PadButton(pad, "bPrevFile")->click();
    EXPECT_EQ(CurrentSlot(), 2);
    // "Line Dn" on the Lyric page only scrolls.
    PadButton(pad, "bLineDown")->click();
    EXPECT_EQ(CurrentSlot(), 2);

    // "Select": to the list page from any other page, and back.
    PadButton(pad, "bSelect")->click();
    EXPECT_EQ(Pages()->currentWidget(), Page("tsFileList"));
    PadButton(pad, "bSelect")->click();
    EXPECT_EQ(Pages()->currentWidget(), Page("tsLyric"));
    EXPECT_TRUE(Window->windowTitle().endsWith(QStringLiteral(" Item:2")));
    OpenPage("tsMidi");
    PadButton(pad, "bSelect")->click();
    EXPECT_EQ(Pages()->currentWidget(), Page("tsFileList"));

    ChooseItem("rgDisplayType", 0);
    OpenPage("tsMidi");
    PadButton(pad, "bSelect")->click();
    EXPECT_EQ(Pages()->currentWidget(), Page("tsTextEdit"));
    PadButton(pad, "bSelect")->click();
    EXPECT_EQ(Pages()->currentWidget(), Page("tsDisplay"));
    EXPECT_EQ(PatchName()->text(), QStringLiteral("2 - "));
    Window->SetTouchPad(nullptr);
}

TEST_F(TSettingsPageTest, SelectionInTheListSendsTheMessageThenTheStrings)
{
    ClickRow("lbChannel", 1);
    Find<QCheckBox>("cbMidiOut")->setChecked(true);
    Window->Show().SetMidiStrings(
        SlotOfRow(18),
        {QStringLiteral("B2 07 64"), QStringLiteral("this is a comment"), QStringLiteral("C2 05")});
    OpenPage("tsTextEdit");
    LineGrid()->SetRow(18);
    EXPECT_EQ(SentHex(), (QStringList{"c11100"}));

    Find<QCheckBox>("cbMidiStrings")->setChecked(true);
    LineGrid()->SetRow(1);
    LineGrid()->SetRow(18);
    EXPECT_EQ(SentHex().mid(2), (QStringList{"c11100", "b20764", "c205"}));

    // A failing short message sends no string; the slot is still selected.
    Fake->FailCall(QStringLiteral("OutShortMsg"), MidiResult::NotReady);
    LineGrid()->SetRow(1);
    EXPECT_EQ(Dialogs.MessageTexts().size(), 1);
    EXPECT_EQ(CurrentSlot(), 0);
    EXPECT_EQ(SentHex().size(), 5);
}

} // namespace
} // namespace tarvello::test
