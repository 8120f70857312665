#pragma once

#include <QStringList>
#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace tarvello {

class TRadioGroup;
class TRemoteCode;
struct TNavigationLabels;
struct TStoredSettings;

// The page "Settings": MIDI devices, channel, message type and controller,
// Midi Learn, what a selection sends, the display type, the Nav Pad, the
// stage options and the navigation labels. It owns its controls; the window
// hears the operator's changes through the signals below. A list raises its
// click for a click on an item and for a move to another item with the keys,
// but not when the program sets the selection; a radio group and a box raise
// theirs for any change.
class TSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit TSettingsPage(QWidget *parent = nullptr);

    // The device lists as the MIDI system names the devices present now, row
    // r for device r. The chosen device stays selected by its name; one that
    // is not present stays listed last, marked " (not connected)", and
    // selected. Without a chosen device the highlighted one stays highlighted
    // while present. A list that has not changed is left as it is.
    void SetInputDevices(const QStringList &names);
    void SetOutputDevices(const QStringList &names);
    // A fresh start: no device chosen, selected or opened, channel 1. What
    // looks chosen is open: a device is taken once the operator picks it.
    void SelectNoDevices();
    // Chooses the device of that name (letter case aside) and gives its row,
    // or nothing when it is not present.
    std::optional<int> SelectInput(const QString &name);
    std::optional<int> SelectOutput(const QString &name);
    // Says in the input device list that no MIDI system was found and what
    // to start; the lists fill by themselves once one runs.
    void ShowMidiSystemMissing(bool missing);
    // The selected device's row, which is its index in the device list; -1
    // when no device is selected or the selected one is not connected.
    int InputRow() const;
    int OutputRow() const;
    int OutputCount() const;
    // The device chosen by the operator or by the settings, present or not;
    // empty while none is.
    QString ChosenInput() const { return InputChosen; }
    QString ChosenOutput() const { return OutputChosen; }
    // The selected device becomes the chosen one: the wait for another ends.
    void ChooseSelectedInput();
    void ChooseSelectedOutput();

    int ChannelRow() const;
    void SetChannelRow(int row);
    int ControllerRow() const;
    void SetControllerRow(int row);
    // 0 "Patch  (PC)", 1 "Controller (CC)"; a change raises MessageTypeClicked.
    int MessageType() const;
    void SetMessageType(int item);
    // 0 "Text Line", 1 "File (Text or RTF)"; a change raises DisplayTypeClicked.
    int DisplayType() const;
    void SetDisplayType(int item);
    // The controller's list and label are shown in controller mode only.
    void ShowController(bool shown);

    bool SuppressNumber() const;
    bool SendMessageOnClick() const;
    bool SendMidiStrings() const;
    bool TouchPadShown() const;
    bool PdfScrollbarShown() const;
    void SetTouchPadShown(bool shown);
    bool PedalKeys() const;
    void SetPedalKeys(bool on);
    bool AutoScroll() const;
    int ScrollSeconds() const;
    int ScrollDelay() const;
    // "Page turner continues to the next song".
    bool PageTurnerContinues() const;
    // Milliseconds from the first MIDI value of a run to the selection.
    int ReleaseWindow() const;
    // Shows (SettingsPageShows.cpp): the controller that opens a show in
    // Controller mode (-1 none), "Song Select", numbers from 1.
    int ShowController() const;
    bool SongSelect() const;
    bool NumbersFromOne() const;
    // Band screens (SettingsPageBand.cpp): the box, the port, and what the
    // musicians open: the follow address with its QR code and the remote
    // address with the key, which is shown only on demand (TRemoteCode).
    // `problem` stands in for the addresses while the server is not running
    // for a reason the operator should know.
    bool BandScreens() const;
    void SetBandScreens(bool on);
    int BandPort() const;
    void SetBandPort(int port);
    void ShowBandAddresses(const QString &follow, const QString &remote);
    void ShowBandProblem(const QString &problem);
    // OSC control (SettingsPageOsc.cpp): the box, the port, the address to
    // listen on (chosen among `SetOscListenChoices`, this machine's), the
    // targets as typed, and a line that says how it runs.
    bool Osc() const;
    int OscPort() const;
    QString OscListen() const;
    QString OscTargets() const;
    void SetOscListenChoices(const QStringList &addresses);
    void ShowOscStatus(const QString &status);

    // The controls that the settings file keeps, in the order they are read;
    // each change raises its signal as the operator's would. The devices, the
    // channel and the controller are the window's to restore.
    void Restore(const TStoredSettings &stored);
    void Collect(TStoredSettings &stored) const;

    void SetNavigationLabels(const TNavigationLabels &labels);
    // "Learning", pressed, while Midi Learn waits for a message.
    void SetLearning(bool learning);
    void SetVersionText(const QString &text);
    // The line that says the show could not be written; empty hides it.
    void ShowSaveProblem(const QString &problem);

signals:
    void InputClicked();
    void OutputClicked();
    void ChannelClicked();
    void ControllerClicked();
    void MessageTypeClicked();
    void DisplayTypeClicked();
    void MidiThruToggled(bool on);
    // "Suppress Number in display", "Output Midi on list click", "Output
    // Midi String List" or "Page turner continues to the next song" changed.
    void SelectionOptionsToggled();
    void TouchPadToggled(bool on);
    void PdfScrollbarToggled(bool on);
    void PedalKeysToggled(bool on);
    void AutoScrollToggled(bool on);
    void ScrollSecondsChanged(int seconds);
    void ScrollDelayChanged(int seconds);
    void ReleaseWindowChanged(int milliseconds);
    // "Show controller", "Song Select" or "Numbers from 1" changed.
    void ShowOptionsChanged();
    // "Shows...": the window of the repertoire.
    void ShowsClicked();
    void BandScreensToggled(bool on);
    // The port after the operator has finished changing it.
    void BandPortChanged(int port);
    // The OSC box, port, address or targets changed (a port or the targets
    // once the operator has finished typing).
    void OscSettingsChanged();
    void LearnClicked();
    void FontClicked();
    void DonateClicked();

private:
    void createLists();
    void createChecks();
    void createButtons();
    void createNavigationPanel();
    void createAutoScrollControls();
    void createReleaseWindowControls();
    void createBandControls();
    void createShowControls();
    void createOscControls();
    void RestoreOsc(const TStoredSettings &stored);
    void CollectOsc(TStoredSettings &stored) const;
    void RestoreShowOptions(const TStoredSettings &stored);
    void connectControls();
    void PlaceMidiSystemNotice();

    QLabel *Label1;
    QListWidget *lbMidiIn;
    QListWidget *lbMidiOut;
    QLabel *lNoMidiSystem;
    QLabel *Label2;
    QListWidget *lbChannel;
    QLabel *lController;
    QListWidget *lbController;
    QCheckBox *cbMidiThru;
    QCheckBox *cbSuppressNum;
    QCheckBox *cbMidiOut;
    QCheckBox *cbMidiStrings;
    QCheckBox *cbTouchPad;
    QCheckBox *cbPdfScrollbar;
    QCheckBox *cbPedalKeys;
    TRadioGroup *rgDisplayType;
    TRadioGroup *rgMessage;
    QPushButton *bLearn;
    QLabel *lVersion;
    QLabel *lSaveProblem;
    QPushButton *bChooseFont;
    QToolButton *sbDonate;
    QFrame *Panel1;
    QLabel *lNextItem;
    QLabel *lPreviousItem;
    QLabel *lNextPage;
    QLabel *lPrevPage;
    QCheckBox *cbAutoScroll;
    QSpinBox *seScrollSeconds;
    QLabel *lScrollDelay;
    QSpinBox *seScrollDelay;
    QCheckBox *cbPageTurnerContinues;
    QLabel *lReleaseWindow;
    QSpinBox *seReleaseWindow;
    QLabel *lShowController;
    QComboBox *cbShowController;
    QCheckBox *cbSongSelect;
    QCheckBox *cbNumbersFromOne;
    QPushButton *bShows;
    QCheckBox *cbBandScreens;
    QSpinBox *seBandPort;
    QLabel *lBandAddress;
    QLabel *lBandQr;
    TRemoteCode *RemoteCode;
    int BandPortShown = 0;
    QCheckBox *cbOsc;
    QSpinBox *seOscPort;
    QLabel *lOscListen;
    QComboBox *cbOscListen;
    QLabel *lOscTargets;
    QLineEdit *leOscTargets;
    QLabel *lOscStatus;
    int OscPortShown = 0;
    QString InputChosen;
    QString OutputChosen;
};

} // namespace tarvello
