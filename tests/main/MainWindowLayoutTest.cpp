#include "MainWindowFixture.h"

#include "support/CaptionFit.h"
#include "support/FindControl.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"
#include "widgets/UpDown.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace tarvello::test {
namespace {

QStringList VisibleTabs(const QTabWidget &tabs)
{
    QStringList captions;
    for (int i = 0; i < tabs.count(); ++i) {
        if (tabs.isTabVisible(i)) {
            captions.append(tabs.tabText(i));
        }
    }
    return captions;
}

QStringList MenuCaptions(const QMenu &menu)
{
    QStringList captions;
    for (const QAction *action : menu.actions()) {
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

TEST(MainWindowLayout, DesignStateOfTheWindow)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tarvello v1.4.0"));
    ASSERT_EQ(window.pcMain->count(), 5);
    EXPECT_EQ(VisibleTabs(*window.pcMain),
              (QStringList{"Display", "Lyric", "Text List Edit", "File List Edit", "Settings"}));
    EXPECT_EQ(window.pcMain->currentWidget(), window.tsMidi);
    EXPECT_EQ(window.lPatchName->text(), QStringLiteral("Waiting for Midi"));
    EXPECT_EQ(window.reLyric->toPlainText(), QStringLiteral("Waiting for Midi"));
    EXPECT_TRUE(window.reLyric->isReadOnly());
    EXPECT_EQ(window.CurrentSlot(), 0);
    EXPECT_EQ(window.LyricViewKind(), lvRichText);
    EXPECT_FALSE(window.MidiRelease->isActive());
    EXPECT_TRUE(window.MidiRelease->isSingleShot());
    EXPECT_EQ(window.MidiRelease->interval(), 300);
    for (const QStringList &list : window.MidiStringLists) {
        EXPECT_TRUE(list.isEmpty());
    }

    for (TKeyValueGrid *grid : {window.vleLines, window.vleFiles}) {
        EXPECT_EQ(grid->LastRow(), 123);
        EXPECT_EQ(grid->Key(1), QStringLiteral("0"));
        EXPECT_EQ(grid->Key(123), QStringLiteral("122"));
        EXPECT_EQ(grid->columnWidth(0), 23);
    }
    EXPECT_EQ(window.vleLines->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Line of text (right click for menu)"));
    EXPECT_EQ(window.vleFiles->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("File Name (right click for menu)"));
}

TEST(MainWindowLayout, SidePanelsAndSettingsControls)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    for (const char *name : {"bpCopyEnd", "bpCopyTo", "bCopyEnd", "bCopyTo"}) {
        auto *button = window.findChild<QPushButton *>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->isEnabled()) << name;
    }
    for (const char *name : {"bpCopyStart", "bCopyStart", "bpMidiStrings", "bMidiStrings",
                             "bpDelete", "bDelete", "bLearn", "bChooseFont"}) {
        auto *button = window.findChild<QPushButton *>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_TRUE(button->isEnabled()) << name;
    }
    for (TUpDown *upDown : {window.UDPrompt, window.UDFiles}) {
        EXPECT_EQ(upDown->Min(), -123);
        EXPECT_EQ(upDown->Max(), -1);
        EXPECT_EQ(upDown->Position(), -1);
    }
    EXPECT_EQ(window.GroupBox3->title(), QStringLiteral("Copy"));
    EXPECT_EQ(window.GroupBox2->title(), QStringLiteral("Move Selected"));
    EXPECT_EQ(window.Panel3->width(), 100);

    ASSERT_EQ(window.lbChannel->count(), 16);
    EXPECT_EQ(window.lbChannel->item(15)->text(), QStringLiteral("16"));
    EXPECT_EQ(window.lbChannel->currentRow(), 0);
    EXPECT_EQ(window.lbController->count(), 128);
    EXPECT_EQ(window.rgMessage->Item(0)->text(), QStringLiteral("Patch  (PC)"));
    EXPECT_EQ(window.rgMessage->ItemIndex(), 0);
    EXPECT_EQ(window.rgDisplayType->Item(1)->text(), QStringLiteral("File (Text or RTF)"));
    EXPECT_EQ(window.rgDisplayType->ItemIndex(), 0);
    // In patch mode the controller choice is hidden.
    EXPECT_TRUE(window.lController->isHidden());
    EXPECT_TRUE(window.lbController->isHidden());
    for (QCheckBox *box : {window.cbMidiThru, window.cbSuppressNum, window.cbMidiOut,
                           window.cbMidiStrings, window.cbTouchPad, window.cbPdfScrollbar}) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    EXPECT_EQ(window.cbSuppressNum->text(), QStringLiteral("Suppress Number in display"));
    EXPECT_EQ(window.lbChannel->geometry(), QRect(152, 32, 121, 65));
    EXPECT_EQ(window.Panel1->geometry(), QRect(420, 48, 205, 77));
    EXPECT_TRUE(window.findChild<QObject *>(QStringLiteral("webFileBrowser")));

    // Autoscroll: off, three minutes, under the output list and the line
    // above it, whole and apart.
    EXPECT_FALSE(window.cbAutoScroll->isChecked());
    EXPECT_EQ(window.seScrollSeconds->value(), 180);
    const QRect autoScrollArea(4, 280, 293, 51);
    EXPECT_TRUE(autoScrollArea.contains(window.cbAutoScroll->geometry()));
    EXPECT_TRUE(autoScrollArea.contains(window.seScrollSeconds->geometry()));
    EXPECT_FALSE(window.cbAutoScroll->geometry().intersects(window.seScrollSeconds->geometry()));
    EXPECT_LE(window.cbAutoScroll->sizeHint().width(), window.cbAutoScroll->width());
    EXPECT_LE(window.seScrollSeconds->sizeHint().width(), window.seScrollSeconds->width());
}

TEST(MainWindowLayout, EveryCaptionFitsItsControl)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    window.resize(800, 500);
    window.show();
    // Every message type and display type, with the longest navigation labels
    // (controller 127 on channel 16).
    for (int message : {0, 1}) {
        for (int display : {0, 1}) {
            window.rgMessage->SetItemIndex(message);
            window.SetDisplayType(display);
            window.lbChannel->setCurrentRow(15);
            window.lbController->setCurrentRow(127);
            window.lbChannelClick();
            window.lbControllerClick();
            QApplication::processEvents();
            for (const char *page :
                 {"tsDisplay", "tsLyric", "tsTextEdit", "tsFileList", "tsMidi"}) {
                EXPECT_EQ(ClippedCaptions(Control<QWidget>(&window, QLatin1String(page))),
                          QStringList())
                    << page << ", message " << message << ", display " << display;
            }
        }
    }
    TfTouch pad(0, 0);
    EXPECT_EQ(ClippedCaptions(&pad), QStringList());
}

TEST(MainWindowLayout, HintsShowOnlyOnTheSettingsPageAndTheFileGrid)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    EXPECT_EQ(window.lbChannel->toolTip(), QStringLiteral("Respond only to this Midi channel"));
    EXPECT_EQ(window.cbMidiStrings->toolTip(),
              QStringLiteral("You can add extra Midi messages to be output as well as "
                             "displaying the Text/File"));
    EXPECT_TRUE(window.vleFiles->toolTip().startsWith(QStringLiteral("Enter the filename")));
    EXPECT_TRUE(window.vleLines->toolTip().isEmpty());
    // Stored with their controls, but not shown.
    EXPECT_TRUE(window.pcMain->toolTip().isEmpty());
    EXPECT_FALSE(window.pcMain->property("hint").toString().isEmpty());
    EXPECT_TRUE(window.bpCopyStart->toolTip().isEmpty());
    EXPECT_EQ(window.bpCopyStart->property("hint").toString(),
              QStringLiteral("Select first line then Click here"));
}

TEST(MainWindowLayout, PopupMenusListTheirItemsInOrder)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    EXPECT_EQ(MenuCaptions(*window.pmText),
              (QStringList{"Font", "Colour", "-", "Midi String (Hex)", "Clear Midi Strings", "-",
                           "Open Prompt List", "Save Prompt List", "-", "Delete Prompt Text",
                           "Clear All Prompts"}));
    EXPECT_EQ(MenuCaptions(*window.pmFiles),
              (QStringList{"Browse", "-", "Midi Strings (Hex)", "Clear Midi Strings", "-",
                           "Font (Text File)", "Colour", "-", "Open File List", "Save File List",
                           "-", "Delete Entry", "Clear File List"}));
    EXPECT_EQ(window.pmFiles->actions().at(4)->objectName(), QStringLiteral("N1"));
    EXPECT_EQ(window.mClearFileList->objectName(), QStringLiteral("mClearFileList"));
}

TEST_F(TMainWindowTest, TabsFollowTheDisplayType)
{
    EXPECT_EQ(VisibleTabs(*Window->pcMain), (QStringList{"Display", "Text List Edit", "Settings"}));
    EXPECT_EQ(Window->pcMain->currentWidget(), Window->tsDisplay);

    Window->SetActivePage(Window->tsMidi);
    Window->SetDisplayType(1);
    EXPECT_EQ(VisibleTabs(*Window->pcMain), (QStringList{"Lyric", "File List Edit", "Settings"}));
    EXPECT_EQ(Window->pcMain->currentWidget(), Window->tsMidi);

    // Hiding the active page moves away from it without showing anything.
    Window->SetActivePage(Window->tsLyric);
    Window->SetDisplayType(0);
    EXPECT_EQ(VisibleTabs(*Window->pcMain), (QStringList{"Display", "Text List Edit", "Settings"}));
    EXPECT_NE(Window->pcMain->currentWidget(), Window->tsLyric);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0"));

    // The radio group itself switches the tabs too.
    Window->rgDisplayType->Item(1)->click();
    EXPECT_EQ(VisibleTabs(*Window->pcMain), (QStringList{"Lyric", "File List Edit", "Settings"}));

    // The tab bar's arrow keys (and a pedal's) pass over the hidden pages.
    Window->SetActivePage(Window->tsMidi);
    Window->pcMain->tabBar()->setFocus();
    QTest::keyClick(Window->windowHandle(), Qt::Key_Left);
    EXPECT_EQ(Window->pcMain->currentWidget(), Window->tsFileList);
    QTest::keyClick(Window->windowHandle(), Qt::Key_Left);
    EXPECT_EQ(Window->pcMain->currentWidget(), Window->tsLyric);
    QTest::keyClick(Window->windowHandle(), Qt::Key_Right);
    EXPECT_EQ(Window->pcMain->currentWidget(), Window->tsFileList);
}

} // namespace
} // namespace tarvello::test
