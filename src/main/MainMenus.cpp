#include "main/MainWindow.h"

#include "widgets/LayoutHelpers.h"

#include <QAction>
#include <QMenu>

namespace tarvello {
namespace {

QAction *MenuItem(QMenu *menu, const char *name, const char *caption)
{
    QAction *action = Named(menu->addAction(QLatin1String(caption)), name);
    return action;
}

void Separator(QMenu *menu, const char *name)
{
    Named(menu->addSeparator(), name);
}

} // namespace

void TfMain::createMenus()
{
    pmText = Named(new QMenu(this), "pmText");
    pmLineFont = MenuItem(pmText, "pmLineFont", "Font");
    pmLineColour = MenuItem(pmText, "pmLineColour", "Colour");
    Separator(pmText, "N7");
    mMidiString = MenuItem(pmText, "mMidiString", "Midi String (Hex)");
    mClearMidiString = MenuItem(pmText, "mClearMidiString", "Clear Midi Strings");
    Separator(pmText, "N2");
    pmConvert = MenuItem(pmText, "pmConvert", "Open Prompt List");
    pmSaveLinetoFile = MenuItem(pmText, "pmSaveLinetoFile", "Save Prompt List");
    Separator(pmText, "N3");
    pmTextDelete = MenuItem(pmText, "pmTextDelete", "Delete Prompt Text");
    mClearAllPrompts = MenuItem(pmText, "mClearAllPrompts", "Clear All Prompts");

    pmFiles = Named(new QMenu(this), "pmFiles");
    pmBrowse = MenuItem(pmFiles, "pmBrowse", "Browse");
    Separator(pmFiles, "N6");
    mMidiStrings = MenuItem(pmFiles, "mMidiStrings", "Midi Strings (Hex)");
    mClearMidiStrings = MenuItem(pmFiles, "mClearMidiStrings", "Clear Midi Strings");
    Separator(pmFiles, "N1");
    mTxtFileFont = MenuItem(pmFiles, "mTxtFileFont", "Font (Text File)");
    pmLyricColour = MenuItem(pmFiles, "pmLyricColour", "Colour");
    Separator(pmFiles, "N4");
    mLoadFileList = MenuItem(pmFiles, "mLoadFileList", "Open File List");
    mSaveFileList = MenuItem(pmFiles, "mSaveFileList", "Save File List");
    Separator(pmFiles, "N5");
    pmFileDelete = MenuItem(pmFiles, "pmFileDelete", "Delete Entry");
    mClearFileList = MenuItem(pmFiles, "mClearFileList", "Clear File List");
}

} // namespace tarvello
