#include "main/MainWindow.h"

#include "prompt/MidiDispatch.h"
#include "prompt/PromptReference.h"
#include "widgets/Colours.h"
#include "widgets/ErrorBoxQueue.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/RadioGroup.h"
#include "widgets/UpDown.h"
#include "widgets/WebBrowserView.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

namespace tarvello {

TfMain::TfMain(TDialogs &dialogs, QWidget *parent) : QMainWindow(parent), Dialogs(dialogs)
{
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(QStringLiteral("Tarvello"));
    setGeometry(331, 115, 1028, 648);
    setFont(PixelFont({QStringLiteral("Tahoma")}, 11));

    MidiRelease = Named(new QTimer(this), "MidiRelease");
    MidiRelease->setSingleShot(true);
    MidiRelease->setInterval(300);

    createPages();
    createMenus();
    connectControls();
    connectListFiles();
    connectMidiControls();
    connectListEditing();
    connectAutoScroll();
    connectStageKeys();

    // The state a show starts from before anything is loaded.
    setWindowTitle(ProgramCaption());
    lPatchName->setText(QStringLiteral("Waiting for Midi"));
    reLyric->setPlainText(QStringLiteral("Waiting for Midi"));
}

TfMain::~TfMain()
{
    // The device lists outlive the window: no input may reach it from here on.
    ReleaseMidiInputEvents();
    // The pages and grids go one by one now; none of that is a change of page
    // or a selection to act on.
    SettingPage = true;
    pcMain->disconnect(this);
    vleLines->disconnect(this);
    vleFiles->disconnect(this);
}

void TfMain::createPages()
{
    pcMain = Named(new QTabWidget(this), "pcMain");
    SetHint(pcMain,
            QStringLiteral("Enter the text to be displayed when the Midi messages is recieved"),
            false);
    setCentralWidget(pcMain);
    const auto addPage = [this](const char *name, const char *caption) {
        QWidget *page = Named(new QWidget(pcMain), name);
        pcMain->addTab(page, QLatin1String(caption));
        return page;
    };
    tsDisplay = addPage("tsDisplay", "Display");
    tsLyric = addPage("tsLyric", "Lyric");
    tsTextEdit = addPage("tsTextEdit", "Text List Edit");
    tsFileList = addPage("tsFileList", "File List Edit");
    tsMidi = addPage("tsMidi", "Settings");
    createDisplayPage();
    createLyricPage();
    createTextEditPage();
    createFileListPage();
    createSettingsPage();
    pcMain->setCurrentWidget(tsMidi);
}

void TfMain::createDisplayPage()
{
    auto *layout = new QGridLayout(tsDisplay);
    layout->setContentsMargins(0, 0, 0, 0);
    lPatchName = Named(new QLabel(tsDisplay), "lPatchName");
    lPatchName->setWordWrap(true);
    lPatchName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lPatchName->setTextFormat(Qt::PlainText);
    lPatchName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    lPatchName->setFont(PixelFont({QStringLiteral("MS Sans Serif")}, 32));
    SetBackground(lPatchName, ColourOfColourValue(DisplayLabelColour));
    layout->addWidget(lPatchName, 0, 0);
}

void TfMain::createLyricPage()
{
    // The three views share the page; the hidden ones take no room.
    auto *layout = new QGridLayout(tsLyric);
    layout->setContentsMargins(0, 0, 0, 0);
    reLyric = Named(new QTextEdit(tsLyric), "reLyric");
    reLyric->setReadOnly(true);
    reLyric->setAcceptRichText(true);
    reLyric->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reLyric->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBackground(reLyric->viewport(), ColourOfColourValue(LyricViewColour));
    SetBackground(reLyric, ColourOfColourValue(LyricViewColour));
    layout->addWidget(reLyric, 0, 0);

    webFileBrowser = Named(new TWebBrowserView(tsLyric), "webFileBrowser");
    webFileBrowser->hide();
    layout->addWidget(webFileBrowser, 0, 0);

    createPdfViewer();
}

namespace {

// The names of one side panel's controls; the two edit pages have twins.
struct TSidePanelNames {
    const char *MoveBox;
    const char *UpDown;
    const char *CopyBox;
    const char *CopyStart;
    const char *CopyEnd;
    const char *CopyTo;
    const char *MidiStrings;
    const char *Delete;
    int CopyLeft;
    int CopyWidth;
};

struct TSidePanel {
    QGroupBox *MoveBox;
    TUpDown *UpDown;
    QGroupBox *CopyBox;
    QPushButton *CopyStart;
    QPushButton *CopyEnd;
    QPushButton *CopyTo;
    QPushButton *MidiStrings;
    QPushButton *Delete;
};

QGroupBox *YellowGroupBox(QWidget *parent, const char *name, const QString &title)
{
    QGroupBox *box = Named(new QGroupBox(title, parent), name);
    box->setStyleSheet(QStringLiteral("QGroupBox { color: yellow; }"));
    box->setFont(PixelFont({QStringLiteral("Tahoma")}, 11));
    return box;
}

TSidePanel FillSidePanel(QFrame *panel, const TSidePanelNames &names)
{
    TSidePanel result{};
    result.MoveBox = YellowGroupBox(panel, names.MoveBox, QStringLiteral("Move Selected"));
    result.MoveBox->setGeometry(1, 1, 98, 72);
    result.UpDown = Named(new TUpDown(result.MoveBox), names.UpDown);
    result.UpDown->setGeometry(24, 16, 57, 49);
    result.UpDown->SetRange(-123, -1);
    result.UpDown->SetPosition(-1);

    result.CopyBox = YellowGroupBox(panel, names.CopyBox, QStringLiteral("Copy"));
    result.CopyBox->setGeometry(1, 73, 98, 128);
    const auto copyButton = [&](const char *name, const char *caption, const char *hint, int top) {
        QPushButton *button = Named(new QPushButton(QLatin1String(caption), result.CopyBox), name);
        button->setGeometry(names.CopyLeft, top, names.CopyWidth, 25);
        SetHint(button, QLatin1String(hint), false);
        return button;
    };
    result.CopyStart =
        copyButton(names.CopyStart, "Start", "Select first line then Click here", 23);
    result.CopyEnd = copyButton(names.CopyEnd, "End", "Select last line then Click here", 55);
    result.CopyEnd->setEnabled(false);
    result.CopyTo = copyButton(names.CopyTo, "Copy to", "Select destination then click here", 87);
    result.CopyTo->setEnabled(false);

    result.MidiStrings =
        Named(new QPushButton(QStringLiteral("Midi Strings"), panel), names.MidiStrings);
    result.MidiStrings->setGeometry(13, 208, 73, 25);
    result.Delete = Named(new QPushButton(QStringLiteral("Delete"), panel), names.Delete);
    result.Delete->setGeometry(13, 264, 73, 25);
    return result;
}

} // namespace

QFrame *TfMain::createSidePanel(QWidget *page, const char *name)
{
    QFrame *panel = Named(new QFrame(page), name);
    panel->setFixedWidth(100);
    SetBackground(panel, ColourOfColourValue(SidePanelColour));
    return panel;
}

void TfMain::createTextEditPage()
{
    auto *layout = new QHBoxLayout(tsTextEdit);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    vleLines = Named(new TKeyValueGrid(tsTextEdit), "vleLines");
    vleLines->SetTitles(QStringLiteral("Key"),
                        QStringLiteral("Line of text (right click for menu)"));
    SetBackground(vleLines->viewport(), ColourOfColourValue(LinesGridColour));
    SetHint(vleLines, QString(), true);
    Panel3 = createSidePanel(tsTextEdit, "Panel3");
    layout->addWidget(vleLines, 1);
    layout->addWidget(Panel3);
    const TSidePanel panel =
        FillSidePanel(Panel3, {"GroupBox4", "UDPrompt", "GroupBox3", "bpCopyStart", "bpCopyEnd",
                               "bpCopyTo", "bpMidiStrings", "bpDelete", 13, 73});
    GroupBox4 = panel.MoveBox;
    UDPrompt = panel.UpDown;
    GroupBox3 = panel.CopyBox;
    bpCopyStart = panel.CopyStart;
    bpCopyEnd = panel.CopyEnd;
    bpCopyTo = panel.CopyTo;
    bpMidiStrings = panel.MidiStrings;
    bpDelete = panel.Delete;
}

void TfMain::createFileListPage()
{
    auto *layout = new QHBoxLayout(tsFileList);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    vleFiles = Named(new TKeyValueGrid(tsFileList), "vleFiles");
    vleFiles->SetTitles(QStringLiteral("Key"), QStringLiteral("File Name (right click for menu)"));
    SetBackground(vleFiles->viewport(), ColourOfColourValue(LyricViewColour));
    SetHint(vleFiles,
            QStringLiteral("Enter the filename (and path) of the file to be displayed when the "
                           "Midi messages is recieved"),
            true);
    Panel2 = createSidePanel(tsFileList, "Panel2");
    layout->addWidget(vleFiles, 1);
    layout->addWidget(Panel2);
    const TSidePanel panel =
        FillSidePanel(Panel2, {"GroupBox2", "UDFiles", "GroupBox1", "bCopyStart", "bCopyEnd",
                               "bCopyTo", "bMidiStrings", "bDelete", 7, 84});
    GroupBox2 = panel.MoveBox;
    UDFiles = panel.UpDown;
    GroupBox1 = panel.CopyBox;
    bCopyStart = panel.CopyStart;
    bCopyEnd = panel.CopyEnd;
    bCopyTo = panel.CopyTo;
    bMidiStrings = panel.MidiStrings;
    bDelete = panel.Delete;
}

void TfMain::connectControls()
{
    connect(pcMain, &QTabWidget::currentChanged, this, [this] {
        if (!SettingPage) {
            pcMainChange();
        }
    });
    // The settings page's own handling of the display type comes on top of
    // this; the tabs must follow it from the start.
    connect(rgDisplayType, &TRadioGroup::Click, this, &TfMain::ShowTabsForDisplayType);
    connect(vleLines, &TKeyValueGrid::Click, this, &TfMain::vleLinesClick);
    connect(vleFiles, &TKeyValueGrid::Click, this, &TfMain::vleFilesClick);
    const auto frameMarked = [this](int row) {
        return row >= 0 && row < MidiStringListCount && !MidiStringLists[row].isEmpty();
    };
    vleLines->SetMarkedRowPredicate(frameMarked);
    vleFiles->SetMarkedRowPredicate(frameMarked);
}

void TfMain::MidiStringsChanged()
{
    vleLines->viewport()->update();
    vleFiles->viewport()->update();
}

} // namespace tarvello
