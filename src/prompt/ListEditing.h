#pragma once

#include <QPoint>
#include <QString>

namespace tarvello {

// The file chooser's filter of the Browse command: the files the Lyric page
// can show, their extensions in upper and in lower case, since file names
// here are case sensitive and "song.pdf" must not be hidden.
QString BrowseFilter();

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
