#pragma once

#include <QFrame>

class QGroupBox;
class QPushButton;

namespace tarvello {

class TUpDown;

// The names of one side panel's controls; the two edit pages have twins.
struct TSidePanelNames {
    const char *Panel;
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

// The blue panel beside an edit page's grid: the arrows that move the selected
// entry, the block copy buttons, and "Midi Strings" and "Delete".
class TSidePanel : public QFrame {
    Q_OBJECT

public:
    TSidePanel(const TSidePanelNames &names, QWidget *parent);

    TUpDown *UpDown;
    QPushButton *CopyStart;
    QPushButton *CopyEnd;
    QPushButton *CopyTo;
    QPushButton *MidiStrings;
    QPushButton *Delete;

private:
    QGroupBox *MoveBox;
    QGroupBox *CopyBox;
};

} // namespace tarvello
