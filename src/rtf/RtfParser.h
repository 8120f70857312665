#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfDocumentWriter.h"
#include "rtf/RtfFormat.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfPicture.h"
#include "rtf/RtfTokenizer.h"

#include <QByteArray>

#include <memory>
#include <vector>

class QTextDocument;

namespace tarvello {

// Walks the tokens of an RTF document, keeps the group state that RTF saves and
// restores with braces, and sends text and structure to the document writer.
class TRtfParser {
public:
    TRtfParser(QByteArrayView rtf, QTextDocument &document);
    ~TRtfParser();

    void run();

private:
    enum class Destination {
        Text,
        FontTable,
        ColourTable,
        Picture,
        FieldInstruction,
        NestTableProperties,
        IgnoredText
    };
    // What closing the group has to finish.
    enum class Role { None, FontTable, Picture, Field, FieldInstruction };

    struct Group {
        TRtfCharState chars;
        TRtfParaState para;
        Destination destination = Destination::Text;
        Role role = Role::None;
        int unicodeSkip = 1;
    };

    struct FieldEntry {
        QString instruction;
        int link = -1;
    };

    void openGroup();
    void closeGroup();
    void skipGroup();
    void onWord(const TRtfToken &token);
    void onSymbol(int symbol);
    void onBytes(QByteArrayView bytes);
    void onBinary(QByteArrayView bytes);
    void onUnicode(char16_t unit);
    bool beginDestination(TRtfKeyword keyword);
    void fontTableWord(TRtfKeyword keyword, const TRtfToken &token);
    void colourTableWord(TRtfKeyword keyword, const TRtfToken &token);
    void pictureWord(TRtfKeyword keyword, const TRtfToken &token);
    void characterWord(TRtfKeyword keyword, const TRtfToken &token);
    bool paragraphWord(TRtfKeyword keyword, const TRtfToken &token);
    bool structureWord(TRtfKeyword keyword, const TRtfToken &token);
    bool tableWord(TRtfKeyword keyword, const TRtfToken &token);
    void text(QStringView text);
    void flushBytes();
    int textCodePage();
    void commitFont();
    void commitColour();
    void finishPicture(const Group &closed);
    void finishFieldInstruction();

    Group &top() { return Groups.back(); }

    TRtfTokenizer Tokenizer;
    TRtfTables Tables;
    TRtfTextDecoder Decoder;
    std::unique_ptr<TRtfDocumentWriter> Writer;

    std::vector<Group> Groups;
    int OverflowDepth = 0;
    bool GroupFresh = false;
    bool StarPending = false;
    bool RootClosed = false;
    int SkipCount = 0;

    int DocumentCodePage = RtfCodePageAnsi;
    int DefaultFont = -1;
    int CachedFont = -2;
    int CachedCodePage = RtfCodePageAnsi;

    QByteArray PendingBytes;
    int PendingCodePage = 0;

    int FontNumber = -1;
    TRtfFont FontEntry;
    QByteArray FontName;
    bool FontOpen = false;

    int Red = 0;
    int Green = 0;
    int Blue = 0;
    bool ColourSet = false;

    std::unique_ptr<TRtfPicture> Picture;
    std::vector<FieldEntry> Fields;
};

} // namespace tarvello
