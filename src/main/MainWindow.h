#pragma once

#include "band/BandPublisher.h"
#include "core/SlotTypes.h"
#include "prompt/Prompt.h"
#include "show/BlockCopy.h"
#include "show/Show.h"

#include <QMainWindow>

#include <QPoint>
#include <QPointer>
#include <QRect>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QBuffer;
class QKeyEvent;
class QMoveEvent;
class QResizeEvent;
class QTabWidget;
class QTimer;
class QUrl;
class QWindow;

namespace tarvello {

class TBandPublisher;
class TBandServer;
class TDialogs;
class TDisplayPage;
class TErrorReporter;
class THelpKey;
class TIniFile;
class TKeyValueGrid;
class TLineReader;
class TListEditPage;
class TLyricAutoScroll;
class TLyricPage;
class TMidiDeviceWatch;
class TMidiDispatch;
class TOscPublisher;
class TOscServer;
class TPromptEngine;
class TSettingsPage;
class TShowBank;
class TShowEdits;
class TShowsWindow;
class TShowSaver;
class TStageNotice;
class TfMidiStrings;
class TfTouch;
enum class TListCommand;
struct TOscCommand;
struct TStoredSettings;

// The main window: five pages (Display, Lyric, the two edit pages, Settings)
// joined to the show, the prompt engine and the MIDI devices. The grids of the
// edit pages are views of the show; the window owns the current slot.
class TfMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfMain(TDialogs &dialogs, QWidget *parent = nullptr);
    ~TfMain() override;

    // Start-up and shut-down (MainStartup.cpp). FormCreate runs once, after the
    // window is made and before it is first shown: it fills the device lists,
    // restores the settings and the show, and reports what fails in the error
    // box without stopping. `settingsFile` empty: the program's own (beside
    // it, or in the user's configuration folder). FormDestroy runs once at the
    // end, while the Nav Pad still exists: it closes the devices and saves.
    void FormCreate(const QString &settingsFile = QString());
    void FormDestroy();
    // The start of a show with nothing loaded, without FormCreate: the tabs of
    // the display type and its display page.
    void StartEmptyShow();
    // The MIDI input without FormCreate (MainMidi.cpp, MainDevices.cpp): the
    // input list is made (enumerating the devices) and its handlers are
    // registered, before any input device is opened; once watching, the lists
    // on "Settings" follow the devices that come and go.
    void RegisterMidiInputEvents();
    void WatchMidiDevices();

    // The slots: text lines, file references, MIDI strings.
    TShow &Show() const { return *SlotShow; }
    // Where every error of the window's handlers goes: the error box.
    TErrorReporter &Errors() const { return *ErrorBox; }

    // The windows made after this one and attached here (MainStage.cpp,
    // MainListCommands.cpp); nullptr detaches. The Nav Pad is placed where
    // the settings put it ("TouchPad": x is its left, y its top).
    QPoint PadPlace() const { return {PadLeft, PadTop}; }
    void SetTouchPad(TfTouch *pad);
    void SetMidiStringsDialog(TfMidiStrings *dialog);

    // What a selection sends and how the donate button opens its page: the
    // MIDI output and the desktop's browser unless replaced.
    void SetSelectionMidiSender(std::function<void()> sender);
    void SetUrlOpener(std::function<bool(const QUrl &)> opener);

    // Band screens (MainBand.cpp): the running server, or nullptr, and the
    // leader's key.
    TBandServer *BandServer() const { return Band.get(); }
    QString BandKey() const { return BandKeyValue; }

signals:
    // The Nav Pad's "Line Up" and "Line Dn" follow the view on the Lyric page:
    // a PDF document has no line steps.
    void LineButtonsEnabledChanged(bool enabled);

protected:
    TDialogs &Dialogs;
    // Follows full screen that the desktop itself starts or ends.
    void changeEvent(QEvent *event) override;
    // The window's bounds are kept with the show (MainSaving.cpp).
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // A value from 0 to 127 from the program itself: as the engine selects it
    // (MainSelection.cpp).
    void ActOnValue(int value);
    void SendSelectionMidi();
    int CurrentSlot() const;
    // 0 "Text Line", 1 "File (Text or RTF)", as the engine shows them.
    int DisplayType() const;
    // Makes a page active as the program does at start-up: without running
    // pcMainChange.
    void SetActivePage(QWidget *page);
    THelpKey &HelpKey();

    // MIDI input (MainMidi.cpp): the handlers run on the MIDI input thread
    // and never wait for this window's thread.
    void MidiInputEvent(int DeviceIndex, std::uint8_t Status, std::uint8_t Data1,
                        std::uint8_t Data2);
    // Midi Learn (MainLearn.cpp): a click arms it, a second click or Escape
    // cancels it; while armed the stage pages say "Learning…".
    void bLearnClick();
    void CancelLearning();
    void ShowLearning(bool learning);
    // The device lists' handlers (MainDevices.cpp): a click makes the device
    // the chosen one of its list. InputDeviceIndex and OutputDeviceIndex name
    // the open device, or -1 when the one they named has gone.
    void lbMidiInClick();
    void lbMidiOutClick();
    void lbChannelClick();
    void lbControllerClick();
    void rgDisplayTypeClick();
    // The Nav Pad's "Select": between the list page and the display page.
    void NavPadSelect();
    // List editing on the two edit pages (MainListCommands.cpp). Each command
    // works on the current row of its grid.
    void pmLineColourClick();
    void mClearMidiStringsClick();
    void pmSaveLinetoFileClick();
    void pmConvertClick();
    void mSaveFileListClick();
    void mLoadFileListClick();
    // The MIDI strings of CurrentSlot in the editor.
    void mMidiStringsClick();
    // A key press that reached this window or the Nav Pad's, before any
    // control sees it. True when the stage took it: F11, Escape while Midi
    // Learn is armed or while full screen, and with "Page turner keys" checked
    // the pedal keys, unless the focus is in an editor, a grid or a list
    // (MainStage.cpp).
    bool StageKeyPress(const QWindow *window, const QKeyEvent &event);

    // The handlers of the window's controls, each called by the control it
    // is named after. The page control's change shows the current slot on a
    // stage page; the list clicks select the slot of their grid's row. The
    // edit pages move, copy and frame their rows themselves.
    void pcMainChange();
    void vleLinesClick();
    void vleFilesClick();
    void pmFileDeleteClick();
    void pmTextDeleteClick();
    void pmLineFontClick();
    void pmLyricColourClick();
    void mClearAllPromptsClick();
    void mClearFileListClick();
    // The Settings page's other handlers (MainMidi.cpp, MainBand.cpp).
    void rgMessageClick();
    void cbTouchPadClick();
    void cbPdfScrollbarClick();
    void sbDonateClick();
    void cbAutoScrollClick();
    void seScrollSecondsChange();
    void cbBandScreensClick();
    void LearnMessage(std::uint8_t Status, std::uint8_t Data1, std::uint8_t Data2);
    void SysExInputEvent(int DeviceIndex, QBuffer &Stream);
    void FollowMidiDevices();
    void UpdateNavigationLabels();
    // Only the display and edit page of the display type can be reached;
    // "Settings" always can.
    void ShowTabsForDisplayType();
    // The settings file (MainSettingsFile.cpp): read once by FormCreate,
    // written within a second of each change and by FormDestroy, with the MIDI strings file
    // ("MidiStrings.txt", read from a file's current line to its end) as their last step.
    void LoadSettings();
    // `commitOpenEdits`: what the operator is typing in a grid goes in too
    // (at shut-down; a save while the show runs leaves the editor alone).
    void SaveSettings(bool commitOpenEdits = true);
    // Between start-up and shut-down every change is written within a
    // second (MainSaving.cpp).
    void StartSavingChanges();
    void StopSavingChanges();
    void ChangeToSave();
    // The stage's caption, marked while the show cannot be written.
    void SetCaption(const QString &caption);
    void ShowSaveProblem(const QString &error);
    QString SettingsFileName() const;
    void ReadMidiStrings(TLineReader &file);
    void WriteMidiStrings(QStringList &file) const;
    // Full screen hides the tabs, so that only the prompt is seen. F11 enters
    // it from the Display and Lyric pages and leaves it from any page, as
    // Escape does. The window system replaces the window's native window when
    // the browser is first made, and the new one starts out of full screen:
    // full screen and the Nav Pad's place above the window are carried over.
    void SetFullScreen(bool on);
    void NativeWindowReplaced(bool created);
    // The one way into a selection, whatever its source (MainSelection.cpp),
    // and what follows the engine's announcement of it.
    void Select(int value, TSelectOrigin origin);
    void ShowSelection(const TPrompt &prompt);
    void DisplayTextLine(int value);
    void ShowPrompt(const TPrompt &prompt);
    // The shows of the repertoire (MainShows.cpp): one is open in the show;
    // a bank and program, the Shows page or Ctrl+Page Down/Up open another.
    void connectShows();
    void LoadShows();
    void OpenShow(int number);
    void StepShow(bool next);
    void ShowShowProblem(const QString &text);
    void ListShows();
    // The remote's list of shows (MainBand.cpp).
    void PublishShows();
    void AddShow(bool copyOpen);
    void RemoveShow(int number);
    bool NumbersFromOne() const;
    // Construction (MainWindow.cpp).
    void createPages();
    void connectPages();
    void connectSettingsPage();
    void connectListPage(TListEditPage *page, void (TfMain::*command)(TListCommand));
    void TextListCommand(TListCommand command);
    void FileListCommand(TListCommand command);
    // MIDI (MainMidi.cpp).
    void connectEngine();
    void watchPaintForTouchPad();
    void ReleaseMidiInputEvents() noexcept;
    void SendSelectionMidiToOutput();
    // Persistence (MainStartup.cpp, MainSettingsFile.cpp, MainListCommands.cpp).
    void FillDeviceLists();
    void ReportError(std::exception_ptr error);
    void SaveListFile(TKeyValueGrid &grid, TSlotField field, const QString &caption);
    std::optional<QString> ChooseListFileToOpen(const QString &caption);
    // The stage (MainStage.cpp, MainFullScreen.cpp).
    void connectStageKeys();
    void RestoreStage(const TStoredSettings &stored);
    void CollectStage(TStoredSettings &settings) const;
    QRect WindowBoundsToSave() const;
    void ShowStageTabs(bool shown);
    void KeepPadAbove();
    // Full screen or not, the pad learns what the prompt covers, and keeps
    // off it unless the operator put it there.
    void KeepPadOffStage();

    bool PatchMode() const;
    TKeyValueGrid &GridOfDisplayType() const;
    TKeyValueGrid &Lines() const;
    TKeyValueGrid &Files() const;
    // Commits what the operator is typing in either grid into the show.
    void CommitListEdits() const;

    std::unique_ptr<TErrorReporter> ErrorBox;
    int PadTop = 203;
    int PadLeft = 372;
    QSize PadSize{170, 124};
    bool PadOverPrompt = false;
    std::function<bool(const QUrl &)> OpenUrl;
    TBlockMarks CopyMarks;
    TCopyBuffer CopyBuffer;
    std::unique_ptr<TShow> SlotShow;
    // The operator's edits of the show, which the edit pages take back and
    // make again.
    std::unique_ptr<TShowEdits> ShowEdits;
    // A child of the window, named "ShowSaver".
    TShowSaver *Saver = nullptr;
    // The shows, a child named "ShowBank".
    TShowBank *Bank = nullptr;
    // The caption without the mark of a failed write.
    QString Caption;
    TPromptEngine *Engine = nullptr;
    QTabWidget *pcMain = nullptr;
    TDisplayPage *DisplayPage = nullptr;
    TLyricPage *LyricPage = nullptr;
    TListEditPage *TextPage = nullptr;
    TListEditPage *FilePage = nullptr;
    TSettingsPage *SettingsPage = nullptr;
    TShowsWindow *ShowsWindow = nullptr;

    // The program changes the page itself (start-up, hidden tabs): nothing
    // is shown for it.
    bool ChangingPageQuietly = false;
    std::function<void()> SelectionMidiSender;
    std::shared_ptr<TIniFile> SettingsFile;
    QString MidiStringsFile;
    // The file the start-up reads the MIDI strings from: MidiStringsFile, or
    // the start folder's until the installed program has a file of its own.
    QString MidiStringsSource;
    // Whether the shut-down may write the MIDI strings file: the start-up read
    // it, or found none. One that is there but could not be read is the show's
    // and must not be replaced by empty lists.
    bool MidiStringsWritable = false;
    // The settings as loaded: colours are written back as they were read while
    // the operator has not changed them.
    std::shared_ptr<TStoredSettings> LoadedSettings;
    QPointer<THelpKey> HelpHook;
    // The list dialogs propose the name chosen last.
    QString LastListOpened;
    QString LastListSaved;
    std::unique_ptr<TMidiDeviceWatch> DeviceWatch;
    QPointer<TfTouch> Pad;
    QPointer<TfMidiStrings> MidiStringsDialog;
    bool StageFullScreen = false;
    bool LearnArmed = false;
    TStageNotice *DisplayNotice = nullptr;
    TStageNotice *LyricNotice = nullptr;
    // Full screen as it was when the native window went, while it is replaced.
    std::optional<bool> FullScreenAcrossReplacement;
    // The window's frame position and size from before full screen.
    QRect NormalBounds;
    bool MaximizedBeforeFullScreen = false;
    bool ReplacedWhileFullScreen = false;
    // The screen stored for full screen when it is missing in this run: kept
    // for the next one.
    QString MissingStageScreen;
    // The stored bounds of a window that opened on no screen of this run and
    // was put on the primary one, and where it was put: the stored bounds are
    // kept for the next run unless the operator moves or resizes it.
    std::optional<QRect> UnreachableBounds;
    QRect PlacedBounds;
    void KeepWindowReachable();

    void connectBand();
    std::unique_ptr<TBandServer> Band;
    // The settings' key; a window that loads no settings makes its own.
    QString BandKeyValue;
    TBandPublisher *BandPublisher = nullptr;
    // What the Lyric page shows, for band screens.
    TStageReport StageReport() const;
    // Until the first selection the stage shows "Waiting for Midi".
    bool BandShowing = false;

    // OSC control (MainOsc.cpp): the server runs while "OSC" is checked.
    void connectOsc();
    void cbOscClick();
    void ActOnOsc(const TOscCommand &command);
    void PublishOsc(const TPrompt &prompt, const TStageReport &shown);
    TOscServer *Osc = nullptr;
    TOscPublisher *OscPublisher = nullptr;
    // What the status line says while the server runs.
    QString OscRunning;
};

} // namespace tarvello
