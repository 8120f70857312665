#include "pages/SettingsPage.h"

#include "core/Version.h"
#include "prompt/AutoScroll.h"
#include "prompt/ControllerNames.h"
#include "prompt/StoredSettings.h"
#include "widgets/Colours.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace tarvello {
namespace {

// A list box whose items run top to bottom and wrap into columns of equal
// width, as the channel and controller lists show them.
QListWidget *ColumnList(QWidget *parent, const char *name, int columns, const QRect &bounds,
                        quint32 colour)
{
    QListWidget *list = Named(new QListWidget(parent), name);
    list->setGeometry(bounds);
    list->setFlow(QListView::TopToBottom);
    list->setWrapping(true);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    list->setFrameShape(QFrame::NoFrame);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int columnWidth = (bounds.width() - 2) / columns;
    list->setGridSize(QSize(columnWidth, std::max(13, list->fontMetrics().height())));
    SetBackground(list, ColourOfColourValue(colour));
    return list;
}

// The donate button's face: the word on an orange, rounded button.
QPixmap DonatePicture()
{
    QPixmap picture(93, 27);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath face;
    face.addRoundedRect(QRectF(0.5, 0.5, 92, 26), 12, 12);
    QLinearGradient shade(0, 0, 0, 27);
    shade.setColorAt(0, QColor(255, 214, 120));
    shade.setColorAt(1, QColor(247, 150, 30));
    painter.fillPath(face, shade);
    painter.setPen(QColor(190, 110, 20));
    painter.drawPath(face);
    QFont font = PixelFont({QStringLiteral("Tahoma")}, 15);
    font.setBold(true);
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 40, 100));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Donate"));
    return picture;
}

// Anything from a short intro to a long medley; the box takes a whole day so
// that a value typed into the settings file is kept as it stands.
constexpr int ShortestScrollSeconds = 1;
constexpr int LongestScrollSeconds = 24 * 60 * 60;

} // namespace

TSettingsPage::TSettingsPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tsMidi"));
    createLists();
    createChecks();
    createButtons();
    createNavigationPanel();
    createAutoScrollControls();
    createReleaseWindowControls();
    createShowControls();
    createBandControls();
    createOscControls();
    connectControls();
}

void TSettingsPage::createLists()
{
    Label1 = PlacedLabel(this, "Label1", QStringLiteral("Input Devices:"), 4, 12);
    lbMidiIn = Named(new QListWidget(this), "lbMidiIn");
    lbMidiIn->setGeometry(4, 32, 141, 89);
    SetHint(lbMidiIn, QStringLiteral("Midi Input device"), true);
    // In the list, where the devices would be.
    lNoMidiSystem = Named(new QLabel(QStringLiteral("No MIDI system found. Start JACK or load the "
                                                    "ALSA sequencer: the devices appear here "
                                                    "once one runs."),
                                     lbMidiIn->viewport()),
                          "lNoMidiSystem");
    lNoMidiSystem->setWordWrap(true);
    lNoMidiSystem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColour(lNoMidiSystem, QPalette::WindowText, QColor(160, 0, 0));
    SetHint(lNoMidiSystem,
            QStringLiteral("Neither the ALSA sequencer nor a JACK server could be reached. Load "
                           "the sequencer (modprobe snd-seq) or start JACK (QjackCtl, or "
                           "PipeWire's JACK); Tarvello keeps looking."),
            true);
    lNoMidiSystem->hide();
    lbMidiOut = Named(new QListWidget(this), "lbMidiOut");
    lbMidiOut->setGeometry(4, 164, 141, 89);
    SetHint(lbMidiOut, QStringLiteral("Midi Output device"), true);

    Label2 = PlacedLabel(this, "Label2", QStringLiteral("Midi Channel"), 156, 16);
    lbChannel = ColumnList(this, "lbChannel", 4, QRect(152, 32, 121, 65), ChannelListColour);
    for (int channel = 1; channel <= 16; ++channel) {
        lbChannel->addItem(QString::number(channel));
    }
    lbChannel->setCurrentRow(0);
    SetHint(lbChannel, QStringLiteral("Respond only to this Midi channel"), true);

    lController = PlacedLabel(this, "lController", QStringLiteral("Controller"), 304, 148);
    lbController =
        ColumnList(this, "lbController", 2, QRect(300, 160, 401, 81), ControllerListColour);
    lbController->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lbController->addItems(ControllerItems());
    SetHint(lbController, QStringLiteral("Respond to this controller"), true);
}

void TSettingsPage::createChecks()
{
    const auto check = [this](const char *name, const char *caption, const char *hint,
                              const QRect &bounds) {
        QCheckBox *box = Named(new QCheckBox(QLatin1String(caption), this), name);
        box->setGeometry(bounds.adjusted(0, -2, 0, 2));
        WidenToFit(box);
        SetHint(box, QLatin1String(hint), true);
        return box;
    };
    cbMidiThru = check("cbMidiThru", "Midi Thru", "Echo the Midi Input to the Midi Output",
                       QRect(8, 128, 165, 13));
    cbSuppressNum = check("cbSuppressNum", "Suppress Number in display",
                          "The position in the list can be displayed", QRect(152, 100, 153, 13));
    cbMidiOut = check("cbMidiOut", "Output Midi on list click",
                      "Send a Midi message when you click on the list", QRect(152, 116, 165, 13));
    cbMidiStrings = check("cbMidiStrings", "Output Midi String List",
                          "You can add extra Midi messages to be output as well as displaying the "
                          "Text/File",
                          QRect(152, 132, 165, 13));
    cbTouchPad = check("cbTouchPad", "Nav Pad", "Show the NavPad to use on a touch screen",
                       QRect(152, 148, 101, 13));
    cbPdfScrollbar = check("cbPdfScrollbar", "PDF - Scrollbars",
                           "If you need the PDF to be scrollable", QRect(152, 172, 101, 13));
    // Below the output devices, clear of every control of the layout.
    cbPedalKeys = check("cbPedalKeys", "Page turner keys",
                        "A page-turner pedal or the arrow keys step through the show on the "
                        "Display and Lyric pages",
                        QRect(8, 264, 165, 13));
    cbPageTurnerContinues =
        check("cbPageTurnerContinues", "Page turner continues to the next song",
              "On the Lyric page, Page Dn at the end of a song goes on to the next one, and "
              "Page Up at its top back to the end of the one before",
              QRect(cbPedalKeys->geometry().right() + 12, 264, 230, 13));

    rgDisplayType = Named(
        new TRadioGroup(QStringLiteral("Display Type"),
                        {QStringLiteral("Text Line"), QStringLiteral("File (Text or RTF)")}, this),
        "rgDisplayType");
    rgDisplayType->setGeometry(156, 200, 117, 53);
    WidenToFit(rgDisplayType);
    SetBackground(rgDisplayType, ColourOfColourValue(LyricViewColour));
    rgDisplayType->SetItemIndex(0);
    SetHint(rgDisplayType, QStringLiteral("Single line of text or display a file"), true);

    rgMessage = Named(
        new TRadioGroup(QStringLiteral("Midi Message"),
                        {QStringLiteral("Patch  (PC)"), QStringLiteral("Controller (CC)")}, this),
        "rgMessage");
    rgMessage->setGeometry(308, 20, 101, 89);
    // Not into the navigation panel beside it.
    WidenToFit(rgMessage, 110);
    SetBackground(rgMessage, QColor(192, 192, 192));
    rgMessage->SetItemIndex(0);
    SetHint(rgMessage, QStringLiteral("Patch change message or Continuous Controller message"),
            true);
    // Patch mode is chosen, so the controller choice is out of the way.
    lController->hide();
    lbController->hide();
}

void TSettingsPage::createButtons()
{
    bLearn = Named(new QPushButton(QStringLiteral("Midi Learn"), this), "bLearn");
    bLearn->setGeometry(316, 116, 85, 25);
    bLearn->setCheckable(true);
    SetHint(bLearn,
            QStringLiteral("Use your Midi controller to set what kind of message to use; click "
                           "again or press Escape to stop learning"),
            true);

    lVersion = Named(new QLabel(this), "lVersion");
    lVersion->setGeometry(300, 244, 126, 18);
    QFont versionFont = PixelFont({QStringLiteral("Sylfaen"), QStringLiteral("DejaVu Serif")}, 13);
    versionFont.setItalic(true);
    lVersion->setFont(versionFont);
    lVersion->setText(VersionLine());
    WidenToFit(lVersion);

    bChooseFont = Named(new QPushButton(QStringLiteral("Set Font"), this), "bChooseFont");
    bChooseFont->setGeometry(424, 8, 73, 25);
    SetHint(bChooseFont,
            QStringLiteral("This is the font for the Display page and txt files in Lryic page"),
            true);

    sbDonate = Named(new QToolButton(this), "sbDonate");
    sbDonate->setGeometry(508, 8, 98, 33);
    sbDonate->setIcon(QIcon(DonatePicture()));
    sbDonate->setIconSize(QSize(93, 27));
    sbDonate->setAutoRaise(true);
    SetHint(sbDonate,
            QStringLiteral("If you would like to help pay for the development of this program, "
                           "that would be great"),
            true);
}

void TSettingsPage::createNavigationPanel()
{
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setGeometry(420, 48, NavigationPanelWidth, 77);
    SetBackground(Panel1, QColor(0, 0, 128));
    SetHint(Panel1, QStringLiteral("Midi Message values to operate the navagator"), true);
    const QFont font = PixelFont({QStringLiteral("MS Sans Serif")}, 11);
    const auto navigationLabel = [this, &font](const char *name, int top) {
        QLabel *label = Named(new QLabel(Panel1), name);
        label->setGeometry(8, top, NavigationLabelWidth, 14);
        label->setFont(font);
        label->setStyleSheet(QStringLiteral("color: yellow;"));
        return label;
    };
    lNextItem = navigationLabel("lNextItem", 8);
    lPreviousItem = navigationLabel("lPreviousItem", 24);
    lNextPage = navigationLabel("lNextPage", 40);
    lPrevPage = navigationLabel("lPrevPage", 56);
}

void TSettingsPage::createAutoScrollControls()
{
    // Below the output device list, under the page-turner keys' line.
    cbAutoScroll = Named(new QCheckBox(QStringLiteral("Autoscroll"), this), "cbAutoScroll");
    cbAutoScroll->setGeometry(8, 286, 90, 17);
    SetHint(cbAutoScroll,
            QStringLiteral("Files on the Lyric page scroll by themselves; Line Up, Line Dn, "
                           "Page Up or Page Dn pauses and resumes"),
            true);

    seScrollSeconds = Named(new QSpinBox(this), "seScrollSeconds");
    seScrollSeconds->setGeometry(104, 284, 100, 22);
    seScrollSeconds->setRange(ShortestScrollSeconds, LongestScrollSeconds);
    seScrollSeconds->setValue(DefaultScrollSeconds);
    seScrollSeconds->setSuffix(QStringLiteral(" s"));
    seScrollSeconds->setAccelerated(true);
    SetHint(seScrollSeconds, QStringLiteral("Seconds to scroll through a whole file"), true);

    // The count-in, on the line below.
    lScrollDelay =
        PlacedLabel(this, "lScrollDelay", QStringLiteral("Autoscroll starts after"), 8, 318);
    seScrollDelay = Named(new QSpinBox(this), "seScrollDelay");
    seScrollDelay->setGeometry(lScrollDelay->geometry().right() + 8, 314, 80, 22);
    seScrollDelay->setRange(0, LongestScrollDelaySeconds);
    seScrollDelay->setSuffix(QStringLiteral(" s"));
    const QString delayHint =
        QStringLiteral("Seconds a new song waits before it starts to scroll: a count-in");
    SetHint(lScrollDelay, delayHint, true);
    SetHint(seScrollDelay, delayHint, true);

    // Below everything: the show could not be written as it changed.
    lSaveProblem = Named(new QLabel(this), "lSaveProblem");
    lSaveProblem->setGeometry(8, 346, 620, 16);
    lSaveProblem->setStyleSheet(QStringLiteral("color: #b00000"));
    lSaveProblem->hide();
}

void TSettingsPage::createReleaseWindowControls()
{
    // On the autoscroll line, right of its seconds.
    lReleaseWindow =
        PlacedLabel(this, "lReleaseWindow", QStringLiteral("Release window"), 216, 288);
    seReleaseWindow = Named(new QSpinBox(this), "seReleaseWindow");
    seReleaseWindow->setGeometry(lReleaseWindow->geometry().right() + 8, 284, 90, 22);
    seReleaseWindow->setRange(0, LongestReleaseWindowMs);
    seReleaseWindow->setSingleStep(50);
    seReleaseWindow->setValue(DefaultReleaseWindowMs);
    seReleaseWindow->setSuffix(QStringLiteral(" ms"));
    seReleaseWindow->setAccelerated(true);
    const QString hint = QStringLiteral(
        "How long to wait after the first Midi value before showing: a slider or pedal sweep "
        "needs a moment, 0 shows every Patch at once");
    SetHint(lReleaseWindow, hint, true);
    SetHint(seReleaseWindow, hint, true);
}

} // namespace tarvello
