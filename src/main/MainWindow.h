#pragma once

#include "core/SlotTypes.h"
#include "prompt/SlotMove.h"

#include <QMainWindow>

#include <QPointer>
#include <QRect>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QBuffer;
class QCheckBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QTabWidget;
class QTextEdit;
class QTimer;
class QToolButton;
class QUrl;
class QWindow;

namespace tarvello {

class TDialogs;
class THelpKey;
class TIniFile;
class TLineReader;
struct TStoredSettings;
class TfMidiStrings;
class TErrorBoxQueue;
class TfTouch;
class TMidiDispatch;
class TKeyValueGrid;
class TLyricAutoScroll;
class TPdfViewer;
class TRadioGroup;
class TUpDown;
class TWebBrowserView;
enum class TUpDownButton;

// Which view of the Lyric page shows the current slot; the scroll and page
// commands act on it.
enum TLyricViewKind : int { lvRichText = 0, lvBrowser = 1, lvPdf = 2 };

// The main window: five pages, the two prompt tables and the viewers. The
// grids are the store of the slots' text lines and file references.
class TfMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfMain(TDialogs &dialogs, QWidget *parent = nullptr);
    ~TfMain() override;

    // Shows a value from 0 to 127: selects a slot (0..122) or navigates
    // (122..127), shows the result on the active page and moves the cursor of
    // the grid that follows the display type.
    void ActOnValue(int value);
    void DisplayTextLine(int value);
    void ShowPrompt(int value);
    // The page control's change handler (also the Nav Pad's "Select").
    void pcMainChange();

    // The list click handling: the grids raise it when their cursor reaches
    // another row.
    void vleLinesClick();
    void vleFilesClick();
    void SendSelectionMidi();
    // The MIDI output on selection attaches here; until then a list click
    // only shows the slot.
    void SetSelectionMidiSender(std::function<void()> sender);

    int CurrentSlot() const { return CurrentSlotKey; }
    int LyricViewKind() const { return LyricView; }

    // 0 "Text Line", 1 "File (Text or RTF)", as chosen in rgDisplayType.
    int DisplayType() const;
    void SetDisplayType(int type);
    // Only the display and edit page of the display type can be reached;
    // "Settings" always can.
    void ShowTabsForDisplayType();
    // Makes a page active as the program does at start-up: without running
    // pcMainChange.
    void SetActivePage(QWidget *page);
    // The start of a show with nothing loaded: the tabs of the display type
    // and its display page.
    void StartEmptyShow();

    // Key cells of slots with MIDI strings are framed; call after changing
    // MidiStringLists so both grids repaint.
    void MidiStringsChanged();

    // Start-up and shut-down (MainStartup.cpp). FormCreate runs once, after the
    // window is made and before it is first shown: it fills the device lists,
    // restores the settings and the show, and reports what fails in the error
    // box without stopping. `settingsFile` empty: the program's own (beside
    // it, or in the user's configuration folder, SettingsLocation).
    // FormDestroy runs once at the end, while the Nav Pad still exists: it
    // closes the devices and saves.
    void FormCreate(const QString &settingsFile = QString());
    void FormDestroy();
    // The F1 hook, installed by FormCreate.
    THelpKey &HelpKey();
    // The settings file (MainSettingsFile.cpp): read once by FormCreate, written
    // once by FormDestroy, with the MIDI strings file as their last step.
    void LoadSettings();
    void SaveSettings();
    QString SettingsFileName() const;
    // "MidiStrings.txt" in the folder the program started in, fixed by FormCreate.
    QString MidiStringsFileName() const { return MidiStringsFile; }
    // The MIDI strings section of all slots, read from a file's current line to
    // its end (appending) and written as the lines of a file (MainListFiles.cpp).
    void ReadMidiStrings(TLineReader &file);
    void WriteMidiStrings(QStringList &file) const;
    // The list files of the two edit pages' popup menus.
    void pmSaveLinetoFileClick();
    void pmConvertClick();
    void mSaveFileListClick();
    void mLoadFileListClick();
    // Where the Nav Pad is placed when it is made ("TouchPad" in the settings).
    int PadTop = 203;
    int PadLeft = 372;

    TMidiStringLists MidiStringLists;

    // Settings fields: written on this thread by the settings page, read by
    // the MIDI input handler on the driver's thread.
    std::atomic<int> MidiChannel{0};
    std::atomic<int> MidiController{0};
    std::atomic<int> MidiMessageType{0xC0};
    std::atomic<int> InputDeviceIndex{0};
    std::atomic<int> OutputDeviceIndex{0};
    // "Midi Thru" as the input thread reads it: a copy of the check box.
    std::atomic<bool> MidiThru{false};

    // MIDI input (MainMidiDispatch.cpp). The two handlers run on the MIDI input
    // thread; they never wait for this window's thread.
    void MidiInputEvent(int DeviceIndex, std::uint8_t Status, std::uint8_t Data1,
                        std::uint8_t Data2);
    void SysExInputEvent(int DeviceIndex, QBuffer &Stream);
    // Makes the input list (enumerating the devices) and registers the two
    // handlers with it; before any input device is opened.
    void RegisterMidiInputEvents();
    void bLearnClick();
    void LearnMessage(std::uint8_t Status, std::uint8_t Data1, std::uint8_t Data2);
    // The release timer: started from the input thread's request, it ends the
    // window 300 ms after the window's first value and acts on the last one.
    void ArmMidiRelease();
    void MidiReleaseTimer();
    std::uint8_t PendingMidiValue() const;
    bool LearnMode() const;

    // The settings page (MainSettingsPage.cpp). Errors of the device lists
    // leave the handlers for the general error box.
    void lbMidiInClick();
    void lbMidiOutClick();
    void lbChannelClick();
    void lbControllerClick();
    void rgMessageClick();
    void rgDisplayTypeClick();
    void cbTouchPadClick();
    void cbPdfScrollbarClick();
    void sbDonateClick();
    void UpdateNavigationLabels();
    // How the donate button opens its page; the desktop's browser by default.
    std::function<bool(const QUrl &)> OpenUrl;

    // Autoscroll on the Lyric page (MainAutoScroll.cpp): the view of a prompt
    // scrolls by itself from top to bottom in the chosen time; a scroll or
    // page command pauses and resumes it, a new prompt starts it again.
    void cbAutoScrollClick();
    void seScrollSecondsChange();
    TLyricAutoScroll &AutoScroller() const { return *AutoScroll; }
    QCheckBox *cbAutoScroll = nullptr;
    QSpinBox *seScrollSeconds = nullptr;

    // The Nav Pad (MainNavPad.cpp): the pad is made after this window and
    // attached here; nullptr detaches it.
    void SetTouchPad(TfTouch *pad);
    TfTouch *TouchPad() const;
    // The pad's "Select": between the list page and the display page.
    void NavPadSelect();

    // List editing on the two edit pages (MainListEditing.cpp, MainGridMouse.cpp,
    // MainBlockCopy.cpp). Each command works on the current row of its grid.
    void pmBrowseClick();
    void pmFileDeleteClick();
    void pmTextDeleteClick();
    void pmLineFontClick();
    void pmLineColourClick();
    void pmLyricColourClick();
    void mClearMidiStringsClick();
    void mClearAllPromptsClick();
    void mClearFileListClick();
    // A mouse press anywhere in a grid, title row included; `At` is in the
    // grid's own coordinates.
    void vleLinesMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPoint At);
    void vleFilesMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPoint At);
    void UDPromptClick(TUpDownButton Button);
    void UDLineClick(TUpDownButton Button);
    void bpCopyStartClick();
    void bpCopyEndClick();
    void bpCopyToClick();
    void bCopyStartClick();
    void bCopyEndClick();
    void bCopyToClick();
    void CopyBlockTo(TKeyValueGrid *grid);
    // The MIDI strings of CurrentSlot in the editor (MainMidiStringsCommand.cpp);
    // the editor is made at start-up after this window and attached here.
    void mMidiStringsClick();
    void SetMidiStringsDialog(TfMidiStrings *dialog);

    // The folder the Browse command starts in ("Last Dir" in the settings).
    QString BrowseDir = QStringLiteral("./");
    // The marked block, shared by both edit pages (0: not set), and what the
    // last block copy took from it.
    TBlockMarks CopyMarks;
    TCopyBuffer CopyBuffer;
    int CopyStartRow() const { return CopyMarks.Start; }
    int CopyEndRow() const { return CopyMarks.End; }

    // The controls, named as the layout names them (also their objectName).
    QTabWidget *pcMain = nullptr;
    QWidget *tsDisplay = nullptr;
    QWidget *tsLyric = nullptr;
    QWidget *tsTextEdit = nullptr;
    QWidget *tsFileList = nullptr;
    QWidget *tsMidi = nullptr;

    QLabel *lPatchName = nullptr;

    QTextEdit *reLyric = nullptr;
    TWebBrowserView *webFileBrowser = nullptr;
    TPdfViewer *PdfViewer = nullptr;

    TKeyValueGrid *vleLines = nullptr;
    QFrame *Panel3 = nullptr;
    QGroupBox *GroupBox4 = nullptr;
    TUpDown *UDPrompt = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QPushButton *bpCopyStart = nullptr;
    QPushButton *bpCopyEnd = nullptr;
    QPushButton *bpCopyTo = nullptr;
    QPushButton *bpMidiStrings = nullptr;
    QPushButton *bpDelete = nullptr;

    TKeyValueGrid *vleFiles = nullptr;
    QFrame *Panel2 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    TUpDown *UDFiles = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QPushButton *bCopyStart = nullptr;
    QPushButton *bCopyEnd = nullptr;
    QPushButton *bCopyTo = nullptr;
    QPushButton *bMidiStrings = nullptr;
    QPushButton *bDelete = nullptr;

    QLabel *Label1 = nullptr;
    QListWidget *lbMidiIn = nullptr;
    QCheckBox *cbMidiThru = nullptr;
    QListWidget *lbMidiOut = nullptr;
    QLabel *Label2 = nullptr;
    QListWidget *lbChannel = nullptr;
    QCheckBox *cbSuppressNum = nullptr;
    QCheckBox *cbMidiOut = nullptr;
    QCheckBox *cbMidiStrings = nullptr;
    QCheckBox *cbTouchPad = nullptr;
    QCheckBox *cbPdfScrollbar = nullptr;
    TRadioGroup *rgDisplayType = nullptr;
    TRadioGroup *rgMessage = nullptr;
    QPushButton *bLearn = nullptr;
    QLabel *lController = nullptr;
    QListWidget *lbController = nullptr;
    QLabel *lVersion = nullptr;
    QPushButton *bChooseFont = nullptr;
    QToolButton *sbDonate = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *lNextItem = nullptr;
    QLabel *lPreviousItem = nullptr;
    QLabel *lNextPage = nullptr;
    QLabel *lPrevPage = nullptr;

    QMenu *pmText = nullptr;
    QAction *pmLineFont = nullptr;
    QAction *pmLineColour = nullptr;
    QAction *mMidiString = nullptr;
    QAction *mClearMidiString = nullptr;
    QAction *pmConvert = nullptr;
    QAction *pmSaveLinetoFile = nullptr;
    QAction *pmTextDelete = nullptr;
    QAction *mClearAllPrompts = nullptr;

    QMenu *pmFiles = nullptr;
    QAction *pmBrowse = nullptr;
    QAction *mMidiStrings = nullptr;
    QAction *mClearMidiStrings = nullptr;
    QAction *mTxtFileFont = nullptr;
    QAction *pmLyricColour = nullptr;
    QAction *mLoadFileList = nullptr;
    QAction *mSaveFileList = nullptr;
    QAction *pmFileDelete = nullptr;
    QAction *mClearFileList = nullptr;

    QTimer *MidiRelease = nullptr;

    // The stage: page-turner keys and full screen (MainStageKeys.cpp,
    // MainFullScreen.cpp).
    // "Page turner keys": on the Display and Lyric pages the keys of a
    // page-turner pedal step through the show as MIDI would.
    QCheckBox *cbPedalKeys = nullptr;
    // A key press that reached this window or the Nav Pad's, before any
    // control sees it. True when the stage took it: F11, Escape while full
    // screen, and with "Page turner keys" checked the pedal keys, unless the
    // focus is in an editor, a grid or a list.
    bool StageKeyPress(const QWindow *window, const QKeyEvent &event);
    // Full screen hides the tabs, so that only the prompt is seen. F11 enters
    // it from the Display and Lyric pages and leaves it from any page, as
    // Escape does.
    void SetFullScreen(bool on);
    bool FullScreen() const { return StageFullScreen; }
    // The window system replaces the window's native window when the browser
    // is first made (it needs another kind of surface), and the new one starts
    // out of full screen; full screen and the Nav Pad's place above the
    // window are carried over. `created`: the new one is there.
    void NativeWindowReplaced(bool created);

signals:
    // The Nav Pad's "Line Up" and "Line Dn" follow the view on the Lyric page:
    // a PDF document has no line steps.
    void LineButtonsEnabledChanged(bool enabled);

protected:
    TDialogs &Dialogs;
    // Follows full screen that the desktop itself starts or ends.
    void changeEvent(QEvent *event) override;

private:
    // Layout, one step per page (MainWindowLayout.cpp, MainSettingsPageLayout.cpp).
    void createPages();
    void createDisplayPage();
    void createLyricPage();
    void createTextEditPage();
    void createFileListPage();
    QFrame *createSidePanel(QWidget *page, const char *name);
    void createSettingsPage();
    void createSettingsLists();
    void createSettingsChecks();
    void createSettingsButtons();
    void createNavigationPanel();
    void createPdfViewer();
    void createMenus();
    void connectControls();
    // MIDI control (MainMidiDispatch.cpp, MainSettingsPage.cpp, MainNavPad.cpp,
    // MainSelectionMidi.cpp).
    void connectMidiControls();
    void createMidiDispatch();
    void connectSettingsPage();
    void watchPaintForTouchPad();
    void ReleaseMidiInputEvents() noexcept;
    void SendSelectionMidiToOutput();

    // The Lyric page's views (MainLyricViews.cpp).
    void ShowOnlyView(TLyricViewKind kind);
    void RunViewCommand(int value);
    void LoadIntoRichText(const QString &path);
    void InsertFirstLine(const QString &line);
    void ShowInBrowser(const QString &reference);
    void ShowPdf(const QString &path, int page);
    void ShowSlot(int value);

    // Autoscroll (MainAutoScroll.cpp).
    void createAutoScrollControls();
    void connectAutoScroll();
    void AutoScrollCommand();
    void FollowLyricViewWithAutoScroll();
    void ApplyPdfLayoutForAutoScroll();
    QScrollBar *PdfScrollBar() const;
    TLyricAutoScroll *AutoScroll = nullptr;

    // List editing (MainGridMouse.cpp, MainBlockCopy.cpp).
    void connectListEditing();
    void watchGridMouse();
    void GridMouseDown(TKeyValueGrid *grid, TUpDown *upDown, QMenu *menu, Qt::MouseButton button,
                       QPoint at);
    void MoveSelected(TKeyValueGrid *grid, TUpDownButton button);
    void MarkCopyStart(TKeyValueGrid *grid, QPushButton *start, QPushButton *end,
                       QPushButton *copyTo);
    void MarkCopyEnd(TKeyValueGrid *grid, QPushButton *start, QPushButton *end,
                     QPushButton *copyTo);
    TSlotRows SlotRowsOf(const TKeyValueGrid *grid) const;
    void ApplySlotRows(TKeyValueGrid *grid, const TSlotRows &rows);

    bool PatchMode() const;
    TKeyValueGrid *GridOfDisplayType() const;

    int CurrentSlotKey = 0;
    int LyricView = lvRichText;
    bool SettingPage = false;
    std::function<void()> SelectionMidiSender;
    // Persistence (MainStartup.cpp, MainSettingsFile.cpp, MainListFiles.cpp).
    void connectListFiles();
    void FillDeviceLists();
    void SaveListFile(TKeyValueGrid *grid, const QString &caption);
    std::optional<QString> ChooseListFileToOpen(const QString &caption);
    void ApplyListValues(TKeyValueGrid *grid, const std::array<QString, SlotCount> &values);
    void ReportError(std::exception_ptr error);
    std::shared_ptr<TIniFile> SettingsFile;
    QString MidiStringsFile;
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
    std::unique_ptr<TMidiDispatch> Dispatch;
    std::unique_ptr<TErrorBoxQueue> InputErrors;
    QPointer<TfTouch> Pad;
    QPointer<TfMidiStrings> MidiStringsDialog;
    // The stage: page-turner keys and full screen.
    void connectStageKeys();
    // At the end of the load: the box and full screen on the stored screen.
    void RestoreStage(const TStoredSettings &stored);
    void CollectStage(TStoredSettings &settings) const;
    // The bounds to keep: those the window has outside full screen.
    QRect WindowBoundsToSave() const;
    void ShowStageTabs(bool shown);
    // The Nav Pad as this window's tool window, above it also in full screen.
    void KeepPadAbove();
    bool StageFullScreen = false;
    // Full screen as it was when the native window went, while it is replaced.
    std::optional<bool> FullScreenAcrossReplacement;
    // The window's frame position and size from before full screen.
    QRect NormalBounds;
    bool MaximizedBeforeFullScreen = false;
    bool ReplacedWhileFullScreen = false;
    // The screen stored for full screen when it is missing in this run: kept
    // for the next one.
    QString MissingStageScreen;
    // The up-downs' positions as last seen, to tell a step from a press at
    // the end of their range.
    TUpDownTracker UDPromptSteps{-1};
    TUpDownTracker UDFilesSteps{-1};
};

} // namespace tarvello
