#include "MainWindowFixture.h"

#include "pages/LyricPage.h"
#include "support/CaptionFit.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"
#include "widgets/UpDown.h"
#include "widgets/WebBrowserView.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
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
    const TControlsOf controls(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tarvello v1.4.0"));
    QTabWidget *pages = controls.Pages();
    ASSERT_EQ(pages->count(), 5);
    EXPECT_EQ(VisibleTabs(*pages),
              (QStringList{"Display", "Lyric", "Text List Edit", "File List Edit", "Settings"}));
    EXPECT_EQ(pages->currentWidget(), controls.Page("tsMidi"));
    EXPECT_EQ(controls.PatchName()->text(), QStringLiteral("Waiting for Midi"));
    EXPECT_EQ(controls.LyricText()->toPlainText(), QStringLiteral("Waiting for Midi"));
    EXPECT_TRUE(controls.LyricText()->isReadOnly());
    EXPECT_EQ(controls.CurrentSlot(), 0);
    EXPECT_EQ(controls.LyricPage()->ViewKind(), lvRichText);
    const QTimer *release = controls.Find<QTimer>("MidiRelease");
    EXPECT_FALSE(release->isActive());
    EXPECT_TRUE(release->isSingleShot());
    EXPECT_EQ(release->interval(), 300);
    for (const QStringList &list : window.Show().MidiStringLists()) {
        EXPECT_TRUE(list.isEmpty());
    }

    for (TKeyValueGrid *grid : {controls.LineGrid(), controls.FileGrid()}) {
        EXPECT_EQ(grid->LastRow(), 123);
        EXPECT_EQ(grid->Key(1), QStringLiteral("0"));
        EXPECT_EQ(grid->Key(123), QStringLiteral("122"));
        EXPECT_EQ(grid->columnWidth(0), 23);
    }
    EXPECT_EQ(controls.LineGrid()->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Line of text (right click for menu)"));
    EXPECT_EQ(controls.FileGrid()->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("File Name (right click for menu)"));
}

TEST(MainWindowLayout, SidePanelsAndSettingsControls)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    const TControlsOf controls(window);
    for (const char *name : {"bpCopyEnd", "bpCopyTo", "bCopyEnd", "bCopyTo"}) {
        EXPECT_FALSE(controls.Find<QPushButton>(name)->isEnabled()) << name;
    }
    for (const char *name : {"bpCopyStart", "bCopyStart", "bpMidiStrings", "bMidiStrings",
                             "bpDelete", "bDelete", "bLearn", "bChooseFont"}) {
        EXPECT_TRUE(controls.Find<QPushButton>(name)->isEnabled()) << name;
    }
    for (const char *name : {"UDPrompt", "UDFiles"}) {
        const TUpDown *upDown = controls.Find<TUpDown>(name);
        EXPECT_EQ(upDown->Min(), -123);
        EXPECT_EQ(upDown->Max(), -1);
        EXPECT_EQ(upDown->Position(), -1);
    }
    EXPECT_EQ(controls.Find<QGroupBox>("GroupBox3")->title(), QStringLiteral("Copy"));
    EXPECT_EQ(controls.Find<QGroupBox>("GroupBox2")->title(), QStringLiteral("Move Selected"));
    EXPECT_EQ(controls.Find<QFrame>("Panel3")->width(), 100);

    const QListWidget *channels = controls.Find<QListWidget>("lbChannel");
    ASSERT_EQ(channels->count(), 16);
    EXPECT_EQ(channels->item(15)->text(), QStringLiteral("16"));
    EXPECT_EQ(channels->currentRow(), 0);
    const QListWidget *controllers = controls.Find<QListWidget>("lbController");
    EXPECT_EQ(controllers->count(), 128);
    const TRadioGroup *message = controls.Find<TRadioGroup>("rgMessage");
    EXPECT_EQ(message->Item(0)->text(), QStringLiteral("Patch  (PC)"));
    EXPECT_EQ(message->ItemIndex(), 0);
    const TRadioGroup *displayType = controls.Find<TRadioGroup>("rgDisplayType");
    EXPECT_EQ(displayType->Item(1)->text(), QStringLiteral("File (Text or RTF)"));
    EXPECT_EQ(displayType->ItemIndex(), 0);
    // In patch mode the controller choice is hidden.
    EXPECT_TRUE(controls.Find<QLabel>("lController")->isHidden());
    EXPECT_TRUE(controllers->isHidden());
    for (const char *name : {"cbMidiThru", "cbSuppressNum", "cbMidiOut", "cbMidiStrings",
                             "cbTouchPad", "cbPdfScrollbar"}) {
        EXPECT_FALSE(controls.Find<QCheckBox>(name)->isChecked()) << name;
    }
    EXPECT_EQ(controls.Find<QCheckBox>("cbSuppressNum")->text(),
              QStringLiteral("Suppress Number in display"));
    EXPECT_EQ(channels->geometry(), QRect(152, 32, 121, 65));
    EXPECT_EQ(controls.Find<QFrame>("Panel1")->geometry(), QRect(420, 48, 205, 77));
    EXPECT_NO_THROW(controls.Find<TWebBrowserView>("webFileBrowser"));

    // Autoscroll: off, three minutes, under the output list and the line
    // above it, whole and apart.
    const QCheckBox *autoScroll = controls.Find<QCheckBox>("cbAutoScroll");
    const QSpinBox *seconds = controls.Find<QSpinBox>("seScrollSeconds");
    EXPECT_FALSE(autoScroll->isChecked());
    EXPECT_EQ(seconds->value(), 180);
    const QRect autoScrollArea(4, 280, 293, 51);
    EXPECT_TRUE(autoScrollArea.contains(autoScroll->geometry()));
    EXPECT_TRUE(autoScrollArea.contains(seconds->geometry()));
    EXPECT_FALSE(autoScroll->geometry().intersects(seconds->geometry()));
    EXPECT_LE(autoScroll->sizeHint().width(), autoScroll->width());
    EXPECT_LE(seconds->sizeHint().width(), seconds->width());
}

TEST(MainWindowLayout, EveryCaptionFitsItsControl)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    const TControlsOf controls(window);
    window.resize(800, 500);
    window.show();
    // Every message type and display type, with the longest navigation labels
    // (controller 127 on channel 16).
    for (int message : {0, 1}) {
        for (int display : {0, 1}) {
            controls.Find<TRadioGroup>("rgMessage")->SetItemIndex(message);
            controls.ChooseItem("rgDisplayType", display);
            controls.ClickRow("lbChannel", 15);
            controls.ClickRow("lbController", 127);
            QApplication::processEvents();
            for (const char *page :
                 {"tsDisplay", "tsLyric", "tsTextEdit", "tsFileList", "tsMidi"}) {
                EXPECT_EQ(ClippedCaptions(controls.Page(page)), QStringList())
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
    const TControlsOf controls(window);
    EXPECT_EQ(controls.Find<QListWidget>("lbChannel")->toolTip(),
              QStringLiteral("Respond only to this Midi channel"));
    EXPECT_EQ(controls.Find<QCheckBox>("cbMidiStrings")->toolTip(),
              QStringLiteral("You can add extra Midi messages to be output as well as "
                             "displaying the Text/File"));
    EXPECT_TRUE(controls.FileGrid()->toolTip().startsWith(QStringLiteral("Enter the filename")));
    EXPECT_TRUE(controls.LineGrid()->toolTip().isEmpty());
    // Stored with their controls, but not shown.
    EXPECT_TRUE(controls.Pages()->toolTip().isEmpty());
    EXPECT_FALSE(controls.Pages()->property("hint").toString().isEmpty());
    const QPushButton *copyStart = controls.Find<QPushButton>("bpCopyStart");
    EXPECT_TRUE(copyStart->toolTip().isEmpty());
    EXPECT_EQ(copyStart->property("hint").toString(),
              QStringLiteral("Select first line then Click here"));
}

TEST(MainWindowLayout, PopupMenusListTheirItemsInOrder)
{
    TFakeDialogs dialogs;
    TfMain window(dialogs);
    const TControlsOf controls(window);
    EXPECT_EQ(MenuCaptions(*controls.Find<QMenu>("pmText")),
              (QStringList{"Undo", "Redo", "-", "Font", "Colour", "-", "Midi String (Hex)",
                           "Clear Midi Strings", "-", "Open Prompt List", "Save Prompt List", "-",
                           "Delete Prompt Text", "Clear All Prompts"}));
    const QMenu *files = controls.Find<QMenu>("pmFiles");
    EXPECT_EQ(
        MenuCaptions(*files),
        (QStringList{"Undo", "Redo", "-", "Browse", "-", "Midi Strings (Hex)", "Clear Midi Strings",
                     "-", "Font (Text File)", "Colour", "-", "Open File List", "Save File List",
                     "-", "Delete Entry", "Clear File List"}));
    EXPECT_EQ(files->actions().at(7)->objectName(), QStringLiteral("N1"));
    EXPECT_EQ(files->actions().constLast(), controls.Find<QAction>("mClearFileList"));
}

TEST_F(TMainWindowTest, TabsFollowTheDisplayType)
{
    EXPECT_EQ(VisibleTabs(*Pages()), (QStringList{"Display", "Text List Edit", "Settings"}));
    EXPECT_EQ(Pages()->currentWidget(), Page("tsDisplay"));

    OpenPage("tsMidi");
    ChooseItem("rgDisplayType", 1);
    EXPECT_EQ(VisibleTabs(*Pages()), (QStringList{"Lyric", "File List Edit", "Settings"}));
    EXPECT_EQ(Pages()->currentWidget(), Page("tsMidi"));

    // Hiding the active page moves away from it without showing anything.
    OpenPage("tsLyric");
    const QSignalSpy shown(&Engine(), &TPromptEngine::PromptSelected);
    ChooseItem("rgDisplayType", 0);
    EXPECT_EQ(VisibleTabs(*Pages()), (QStringList{"Display", "Text List Edit", "Settings"}));
    EXPECT_NE(Pages()->currentWidget(), Page("tsLyric"));
    EXPECT_EQ(shown.size(), 0);

    // The radio group itself switches the tabs too.
    Find<TRadioGroup>("rgDisplayType")->Item(1)->click();
    EXPECT_EQ(VisibleTabs(*Pages()), (QStringList{"Lyric", "File List Edit", "Settings"}));

    // The tab bar's arrow keys (and a pedal's) pass over the hidden pages.
    OpenPage("tsMidi");
    Pages()->tabBar()->setFocus();
    QTest::keyClick(Window->windowHandle(), Qt::Key_Left);
    EXPECT_EQ(Pages()->currentWidget(), Page("tsFileList"));
    QTest::keyClick(Window->windowHandle(), Qt::Key_Left);
    EXPECT_EQ(Pages()->currentWidget(), Page("tsLyric"));
    QTest::keyClick(Window->windowHandle(), Qt::Key_Right);
    EXPECT_EQ(Pages()->currentWidget(), Page("tsFileList"));
}

} // namespace
} // namespace tarvello::test
