#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tarvello {

// One slot of the demo show: its line for the Display page, its file or web
// address for the Lyric page (relative to demo/, the program's current
// directory when it runs the show), and the MIDI strings it sends.
struct TDemoSlot {
    QString Line;
    QString File;
    QStringList MidiStrings;
};

// The slots of the show, from slot 0 on; the slots after them stay empty.
const std::vector<TDemoSlot> &DemoSlots();

// Names of the generated files, shared by the writers and the slot table.
inline const QString DemoScoreFile = QStringLiteral("marrow-hill-suite.pdf");
inline const QString DemoPosterFile = QStringLiteral("salt-and-static.jpg");
inline const QString DemoStagePlanFile = QStringLiteral("stage-plan.png");

} // namespace tarvello
