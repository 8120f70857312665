#include "pages/ListEditPage.h"

#include "widgets/Colours.h"

namespace tarvello {

TListEditPageDesign TextListDesign()
{
    using C = TListCommand;
    return {"tsTextEdit",
            "vleLines",
            QStringLiteral("Line of text (right click for menu)"),
            QString(),
            true,
            LinesGridColour,
            {"Panel3", "GroupBox4", "UDPrompt", "GroupBox3", "bpCopyStart", "bpCopyEnd", "bpCopyTo",
             "bpMidiStrings", "bpDelete"},
            13,
            73,
            "pmText",
            {"pmTextUndo", "pmTextRedo", "N8"},
            {{"pmLineFont", "Font", C::Font},
             {"pmLineColour", "Colour", C::Colour},
             {"N7", nullptr, C::Font},
             {"mMidiString", "Midi String (Hex)", C::MidiStrings},
             {"mClearMidiString", "Clear Midi Strings", C::ClearMidiStrings},
             {"N2", nullptr, C::Font},
             {"pmConvert", "Open Prompt List", C::OpenList},
             {"pmSaveLinetoFile", "Save Prompt List", C::SaveList},
             {"N3", nullptr, C::Font},
             {"pmTextDelete", "Delete Prompt Text", C::DeleteEntry},
             {"mClearAllPrompts", "Clear All Prompts", C::ClearList}}};
}

TListEditPageDesign FileListDesign()
{
    using C = TListCommand;
    return {"tsFileList",
            "vleFiles",
            QStringLiteral("File Name (right click for menu)"),
            QStringLiteral("Enter the filename (and path) of the file to be displayed when the "
                           "Midi messages is recieved"),
            true,
            LyricViewColour,
            {"Panel2", "GroupBox2", "UDFiles", "GroupBox1", "bCopyStart", "bCopyEnd", "bCopyTo",
             "bMidiStrings", "bDelete"},
            7,
            84,
            "pmFiles",
            {"pmFileUndo", "pmFileRedo", "N9"},
            {{"pmBrowse", "Browse", C::Browse},
             {"N6", nullptr, C::Browse},
             {"mMidiStrings", "Midi Strings (Hex)", C::MidiStrings},
             {"mClearMidiStrings", "Clear Midi Strings", C::ClearMidiStrings},
             {"N1", nullptr, C::Browse},
             {"mTxtFileFont", "Font (Text File)", C::Font},
             {"pmLyricColour", "Colour", C::Colour},
             {"N4", nullptr, C::Browse},
             {"mLoadFileList", "Open File List", C::OpenList},
             {"mSaveFileList", "Save File List", C::SaveList},
             {"N5", nullptr, C::Browse},
             {"pmFileDelete", "Delete Entry", C::DeleteEntry},
             {"mClearFileList", "Clear File List", C::ClearList}}};
}

} // namespace tarvello
