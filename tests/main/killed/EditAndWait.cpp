// The program as the kill test runs it: the main window, the Nav Pad and the
// MIDI strings editor made as at start-up, over the settings file and show
// folder given, with two MIDI inputs and two outputs. It makes one edit
// through the window's controls, says "edited", and then runs until it is
// killed; it never shuts down on its own.
//
//   edit_and_wait <settings file> <show folder> <edit number>

#include "KillEdits.h"

#include "core/SlotTypes.h"
#include "main/MainWindow.h"
#include "midi/MidiSystem.h"
#include "midistrings/MidiStringsDialog.h"
#include "support/FakeDialogs.h"
#include "support/FakeMidiSystem.h"
#include "support/MainWindowControls.h"
#include "support/QtTestEnvironment.h"
#include "touchpad/TouchPad.h"
#include "widgets/CompatibleFaces.h"
#include "widgets/UpDown.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

namespace tarvello::test::killed {
namespace {

// The operator at the window, on the edit page that the display type shows.
class TEditor {
public:
    TEditor(TfMain &window, TfTouch &pad, TfMidiStrings &midiStrings, TFakeDialogs &dialogs,
            QString showFolder)
        : Window(window), Pad(pad), MidiStringsEditor(midiStrings), Dialogs(dialogs),
          Controls(window), ShowFolder(std::move(showFolder))
    {
    }

    // Makes edit n; throws when the window did not take it.
    void Make(int n);

private:
    // The page's controls: its grid, buttons and menu items by name.
    struct TPage {
        const char *Name;
        const char *Grid;
        const char *UpDown;
        const char *CopyStart;
        const char *CopyEnd;
        const char *CopyTo;
        const char *MidiStrings;
        const char *Delete;
        const char *ClearMidiStrings;
        const char *OpenList;
        const char *Font;
        const char *Colour;
        TSlotField Field;
    };
    static constexpr TPage TextPage{
        "tsTextEdit", "vleLines",      "UDPrompt",      "bpCopyStart",      "bpCopyEnd",
        "bpCopyTo",   "bpMidiStrings", "bpDelete",      "mClearMidiString", "pmConvert",
        "pmLineFont", "pmLineColour",  TSlotField::Line};
    static constexpr TPage FilePage{
        "tsFileList",   "vleFiles",      "UDFiles",       "bCopyStart",        "bCopyEnd",
        "bCopyTo",      "bMidiStrings",  "bDelete",       "mClearMidiStrings", "mLoadFileList",
        "mTxtFileFont", "pmLyricColour", TSlotField::File};

    void Type(int n);
    void EditMidiStrings(int n);
    void CopyBlock(int n);
    void MoveRow(int n);
    void Clear(int n);
    void OtherDevice(const char *list);
    void StepList(const char *list, int row);
    void Toggle(const char *radioGroup);
    void ChangeStageSetting(int n);

    bool TextLines() const { return Controls.Find<TRadioGroup>("rgDisplayType")->ItemIndex() == 0; }
    // Opens the edit page of the display type.
    const TPage &Page() const
    {
        const TPage &page = TextLines() ? TextPage : FilePage;
        Controls.OpenPage(page.Name);
        return page;
    }
    TKeyValueGrid *Grid(const TPage &page) const { return Controls.Find<TKeyValueGrid>(page.Grid); }
    const QString &Value(const TPage &page, int slot) const
    {
        return Window.Show().Text(page.Field, slot);
    }

    static void Expect(bool taken, const char *what)
    {
        if (!taken) {
            throw std::runtime_error(std::string("the window did not take the edit: ") + what);
        }
    }

    TfMain &Window;
    TfTouch &Pad;
    TfMidiStrings &MidiStringsEditor;
    TFakeDialogs &Dialogs;
    TControlsOf Controls;
    QString ShowFolder;
};

void TEditor::Type(int n)
{
    const TPage &page = Page();
    const int slot = TypedSlot(n);
    const QString text = TypedValue(n, page.Field == TSlotField::Line);
    TKeyValueGrid *grid = Grid(page);
    grid->SetRow(RowOfSlot(slot));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    auto *editor = grid->viewport()->findChild<QLineEdit *>();
    Expect(editor != nullptr, "no cell editor");
    editor->selectAll();
    // Key by key, as a keyboard types them (the letters beyond ASCII too).
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(editor, &release);
    }
    // The editor commits a Return through a queued call.
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    Expect(Value(page, slot) == text, "typed value");
}

void TEditor::EditMidiStrings(int n)
{
    const TPage &page = Page();
    const int slot = MidiStringsSlot(n);
    Controls.SelectValue(slot);
    QTimer::singleShot(0, &MidiStringsEditor, [this, n] {
        MidiStringsEditor.findChild<QPlainTextEdit *>(QStringLiteral("mMidiStringEdit"))
            ->setPlainText(MidiStringsOf(n).join(QLatin1Char('\n')));
        MidiStringsEditor.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    Controls.Click(page.MidiStrings);
    Expect(Window.Show().MidiStrings(slot) == MidiStringsOf(n), "MIDI strings");
}

void TEditor::CopyBlock(int n)
{
    const TPage &page = Page();
    TKeyValueGrid *grid = Grid(page);
    const int start = CopyStart(n, [&](int slot) { return !Value(page, slot).isEmpty(); });
    const QString first = Value(page, start);
    grid->SetRow(RowOfSlot(start));
    Controls.Click(page.CopyStart);
    grid->SetRow(RowOfSlot(start + CopyLength(n) - 1));
    Controls.Click(page.CopyEnd);
    grid->SetRow(RowOfSlot(CopyTarget(n)));
    Dialogs.Answers = {CopyPushesDown(n) ? TMessageButton::Yes : TMessageButton::No};
    Controls.Click(page.CopyTo);
    Expect(Dialogs.Answers.empty() && Value(page, CopyTarget(n)) == first, "block copy");
}

void TEditor::MoveRow(int n)
{
    const TPage &page = Page();
    TKeyValueGrid *grid = Grid(page);
    const int slot = MovedSlot(n, [&](int s) {
        return !Value(page, s).isEmpty() || !Window.Show().MidiStrings(s).isEmpty();
    });
    const QString moved = Value(page, slot);
    const QModelIndex cell = grid->model()->index(RowOfSlot(slot) - 1, 1);
    grid->scrollTo(cell);
    const QPoint at = grid->visualRect(cell).center();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    Expect(grid->Row() == RowOfSlot(slot), "the row to move is not the current one");
    auto *arrows = Controls.Find<TUpDown>(page.UpDown);
    arrows->findChild<QToolButton *>(QLatin1String(MovedUp(n) ? "up" : "down"))->click();
    Expect(Value(page, MovedUp(n) ? slot - 1 : slot + 1) == moved, "move");
}

void TEditor::Clear(int n)
{
    const TPage &page = Page();
    if (ClearsMidiStrings(n)) {
        Dialogs.Answers = {TMessageButton::Yes};
        Controls.Trigger(page.ClearMidiStrings);
        for (int slot = 0; slot < SlotCount; ++slot) {
            Expect(Window.Show().MidiStrings(slot).isEmpty(), "Clear Midi Strings");
        }
        return;
    }
    // The file list asks first; the text list does not.
    const int slot = ClearedSlot(n, [&](int s) { return !Value(page, s).isEmpty(); });
    Grid(page)->SetRow(RowOfSlot(slot));
    Dialogs.Answers = {TMessageButton::Yes};
    Controls.Click(page.Delete);
    Expect(Value(page, slot).isEmpty(), "Delete");
}

void TEditor::OtherDevice(const char *list)
{
    const int row = Controls.Find<QListWidget>(list)->currentRow() == 0 ? 1 : 0;
    StepList(list, row);
}

void TEditor::StepList(const char *list, int row)
{
    Controls.ClickRow(list, row);
    Expect(Controls.Find<QListWidget>(list)->currentRow() == row, list);
}

void TEditor::Toggle(const char *radioGroup)
{
    const int item = 1 - Controls.Find<TRadioGroup>(radioGroup)->ItemIndex();
    Controls.ChooseItem(radioGroup, item);
    Expect(Controls.Find<TRadioGroup>(radioGroup)->ItemIndex() == item, radioGroup);
}

void TEditor::ChangeStageSetting(int n)
{
    Controls.OpenPage("tsMidi");
    switch (StageVariant(n)) {
    case 0:
        Controls.Click("cbPedalKeys");
        break;
    case 1:
        Controls.Click("cbPageTurnerContinues");
        break;
    default:
        Controls.Find<QSpinBox>("seReleaseWindow")->stepBy(1);
        break;
    }
}

void TEditor::Make(int n)
{
    const auto listRow = [this](const char *list) {
        return std::max(0, Controls.Find<QListWidget>(list)->currentRow());
    };
    switch (KindOfEdit(n)) {
    case TEditKind::Typed:
        Type(n);
        break;
    case TEditKind::MidiStrings:
        EditMidiStrings(n);
        break;
    case TEditKind::BlockCopy:
        CopyBlock(n);
        break;
    case TEditKind::Move:
        MoveRow(n);
        break;
    case TEditKind::Clear:
        Clear(n);
        break;
    case TEditKind::ListOpened:
        Dialogs.FileAnswers = {QDir(ShowFolder).filePath(ListFileName(n))};
        Controls.Trigger(Page().OpenList);
        Expect(Dialogs.FileAnswers.empty(), "no list chooser");
        break;
    case TEditKind::Font: {
        QFont font(FontFamily(n));
        font.setPointSize(FontPoints(n));
        Dialogs.FontAnswers = {font};
        Dialogs.FontColourAnswers = {FontColour(n)};
        Controls.Trigger(Page().Font);
        Expect(Dialogs.FontAnswers.empty(), "no font chooser");
        break;
    }
    case TEditKind::Colour:
        Dialogs.ColourAnswers = {ChosenColour(n)};
        Controls.Trigger(Page().Colour);
        Expect(Dialogs.ColourAnswers.empty(), "no colour chooser");
        break;
    case TEditKind::InputDevice:
        Controls.OpenPage("tsMidi");
        OtherDevice("lbMidiIn");
        break;
    case TEditKind::OutputDevice:
        Controls.OpenPage("tsMidi");
        OtherDevice("lbMidiOut");
        break;
    case TEditKind::Channel:
        Controls.OpenPage("tsMidi");
        StepList("lbChannel", ChannelRowAfter(n, listRow("lbChannel")));
        break;
    case TEditKind::Controller:
        Controls.OpenPage("tsMidi");
        StepList("lbController", ControllerRowAfter(n, listRow("lbController")));
        break;
    case TEditKind::MessageType:
        Controls.OpenPage("tsMidi");
        Toggle("rgMessage");
        break;
    case TEditKind::DisplayType:
        Controls.OpenPage("tsMidi");
        Toggle("rgDisplayType");
        break;
    case TEditKind::StageSetting:
        ChangeStageSetting(n);
        break;
    case TEditKind::WindowBounds:
        if (WindowMoved(n)) {
            Window.move(WindowLeft(n), WindowTop(n));
        } else {
            Window.resize(WindowWidth(n), WindowHeight(n));
        }
        break;
    case TEditKind::NavPad:
        Pad.move(PadLeft(n), PadTop(n));
        break;
    }
    QApplication::processEvents();
}

} // namespace
} // namespace tarvello::test::killed

int main(int argc, char **argv)
{
    using namespace tarvello;
    if (argc != 4) {
        std::fputs("usage: edit_and_wait <settings file> <show folder> <edit number>\n", stderr);
        return 2;
    }
    test::PrepareTestEnvironment();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvello"));
    LoadCompatibleFaces();
    const QString settingsFile = QString::fromLocal8Bit(argv[1]);
    const QString showFolder = QString::fromLocal8Bit(argv[2]);
    const int n = QByteArray(argv[3]).toInt();
    QDir::setCurrent(showFolder);
    SetMidiSystem(std::make_shared<test::TFakeMidiSystem>(QStringList{"In A", "In B"},
                                                          QStringList{"Out A", "Out B"}));

    // The windows in the order the program makes them.
    test::TFakeDialogs dialogs;
    TfMain window(dialogs);
    window.FormCreate(settingsFile);
    window.show();
    TfTouch pad(window.PadPlace().y(), window.PadPlace().x());
    window.SetTouchPad(&pad);
    TfMidiStrings midiStrings(dialogs);
    window.SetMidiStringsDialog(&midiStrings);
    QApplication::processEvents();
    if (!dialogs.Records.empty()) {
        std::printf("start-up reported: %s\n", qPrintable(dialogs.MessageTexts().join(" | ")));
        return 1;
    }

    try {
        test::killed::TEditor(window, pad, midiStrings, dialogs, showFolder).Make(n);
    } catch (const std::exception &error) {
        std::printf("not edited: %s\n", error.what());
        return 1;
    }
    std::puts("edited");
    std::fflush(stdout);
    return application.exec();
}
