#include "main/MainWindow.h"

#include "files/MidiStringsFile.h"
#include "files/TextFile.h"
#include "widgets/Dialogs.h"
#include "widgets/KeyValueGrid.h"

#include <QAction>

namespace tarvello {
namespace {

// Matches "songs.txt" as well as "SONGS.TXT": file names keep their case here.
const QString ListFileFilter = QStringLiteral("Text files only (*.txt *.TXT)");

// The dialogs start in the current directory and propose the name chosen
// last (which also names its folder).
QString DialogStart(const QString &lastName)
{
    return lastName.isEmpty() ? QStringLiteral("./") : lastName;
}

TSlotValues SlotValuesOf(const TKeyValueGrid *grid)
{
    TSlotValues values;
    for (int slot = 0; slot < SlotCount; ++slot) {
        values[size_t(slot)] = grid->Value(QString::number(slot));
    }
    return values;
}

} // namespace

void TfMain::connectListFiles()
{
    connect(pmSaveLinetoFile, &QAction::triggered, this, &TfMain::pmSaveLinetoFileClick);
    connect(pmConvert, &QAction::triggered, this, &TfMain::pmConvertClick);
    connect(mSaveFileList, &QAction::triggered, this, &TfMain::mSaveFileListClick);
    connect(mLoadFileList, &QAction::triggered, this, &TfMain::mLoadFileListClick);
}

void TfMain::ReadMidiStrings(TLineReader &file)
{
    ReadMidiStringsSection(file, MidiStringLists);
    MidiStringsChanged();
}

void TfMain::WriteMidiStrings(QStringList &file) const
{
    file.append(MidiStringsSectionLines(MidiStringLists));
}

void TfMain::SaveListFile(TKeyValueGrid *grid, const QString &caption)
{
    const std::optional<QString> chosen =
        Dialogs.SaveFileName(this, caption, DialogStart(LastListSaved), ListFileFilter);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const QString path = CompleteListFileName(*chosen);
    LastListSaved = path;
    // The title row's empty line, the slot values, then the MIDI strings of
    // every slot; an existing file is replaced without a question.
    WriteListFile(path, SlotValuesOf(grid), MidiStringLists);
}

std::optional<QString> TfMain::ChooseListFileToOpen(const QString &caption)
{
    std::optional<QString> chosen =
        Dialogs.OpenFileName(this, caption, DialogStart(LastListOpened), ListFileFilter);
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    LastListOpened = *chosen;
    return chosen;
}

void TfMain::ApplyListValues(TKeyValueGrid *grid, const std::array<QString, SlotCount> &values)
{
    // Through the keys: only the 123 slot rows change, and no row is added.
    for (int slot = 0; slot < SlotCount; ++slot) {
        grid->SetValue(QString::number(slot), values[size_t(slot)]);
    }
}

void TfMain::pmSaveLinetoFileClick()
{
    SaveListFile(vleLines, QStringLiteral("Save Prompt List"));
}

void TfMain::mSaveFileListClick()
{
    SaveListFile(vleFiles, QStringLiteral("Save File List"));
}

void TfMain::pmConvertClick()
{
    const std::optional<QString> path = ChooseListFileToOpen(QStringLiteral("Open Prompt List"));
    if (!path) {
        return;
    }
    // The file is read whole before anything changes; its MIDI strings are
    // not taken: the slots keep theirs.
    ApplyListValues(vleLines, ReadPromptListFile(*path));
}

void TfMain::mLoadFileListClick()
{
    const std::optional<QString> path = ChooseListFileToOpen(QStringLiteral("Open File List"));
    if (!path) {
        return;
    }
    // The file's MIDI strings are added to those the slots hold already.
    ApplyListValues(vleFiles, ReadFileListFile(*path, MidiStringLists));
    MidiStringsChanged();
}

} // namespace tarvello
