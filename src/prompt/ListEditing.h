#pragma once

#include <QPoint>
#include <QString>

namespace tarvello {

// The file chooser's filters of the Browse command (separated by ";;"): first
// every kind of file the Lyric page can show, then each kind alone, then all
// files. Extensions go in lower and in upper case, since file names here are
// case sensitive and neither "song.pdf" nor "SONG.PDF" may be hidden.
QString BrowseFilter();

// What Browse stores for the file the operator chose: its path relative to
// the working folder (the current directory, which the show's relative names
// are resolved against), with '/' between folders, when the file lies in that
// folder or below it; otherwise the path as chosen. Links are followed on the
// way to the file's folder, so a show folder reached through a link is still
// the working folder. The root folder keeps every path absolute.
QString BrowsedFileReference(const QString &chosen, const QString &workingFolder);

// The folder the Browse command starts in: a folder name longer than one
// character loses one trailing separator ("\" or "/"), unless a drive colon
// stands before it ("C:\" stays).
QString BrowseStartDirectory(const QString &directory);

// Where a grid's popup menu opens on a right click: the main window's top
// left corner on the screen moved by the click's place in the grid, and 10
// pixels further right so the pointer does not cover the first item.
QPoint GridMenuPoint(QPoint windowTopLeft, QPoint clickInGrid);

// The questions of the list commands, as the operator knows them.
QString DeleteEntryQuestion();
QString ClearMidiStringsQuestion();
QString ClearAllPromptsQuestion();
QString ClearFileListQuestion();
QString PushDownQuestion();

} // namespace tarvello
