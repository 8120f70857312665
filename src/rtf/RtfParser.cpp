#include "rtf/RtfParser.h"

#include "rtf/RtfHyperlink.h"

#include <QTextDocument>

#include <algorithm>

namespace tarvello {

namespace {

// Real documents nest a few dozen groups deep. Deeper groups are still matched
// brace for brace, but share their parent's state instead of growing the stack.
constexpr size_t MaxDepth = 500;
constexpr qsizetype MaxFieldInstruction = 4096;

bool IsBlank(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// Control characters other than tabs have no place in a prompt.
void DropControls(QString &text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t'); });
}

} // namespace

TRtfParser::TRtfParser(QByteArrayView rtf, QTextDocument &document)
    : Tokenizer(rtf), Writer(std::make_unique<TRtfDocumentWriter>(document, Tables))
{
    Groups.reserve(64);
    Groups.push_back(Group{}); // the level outside every group
}

TRtfParser::~TRtfParser() = default;

void TRtfParser::run()
{
    for (;;) {
        const TRtfToken token = Tokenizer.next();
        bool keepFresh = false;
        switch (token.kind) {
        case TRtfToken::End:
            flushBytes();
            // A file cut short: close what it left open so its last picture,
            // link and paragraph still count.
            while (Groups.size() > 1 || OverflowDepth > 0)
                closeGroup();
            Writer->finish(top().chars, top().para);
            return;
        case TRtfToken::GroupStart:
            flushBytes();
            SkipCount = 0;
            openGroup();
            keepFresh = true;
            break;
        case TRtfToken::GroupEnd:
            flushBytes();
            SkipCount = 0;
            closeGroup();
            break;
        case TRtfToken::Word:
            flushBytes();
            if (SkipCount > 0)
                --SkipCount;
            else
                onWord(token);
            break;
        case TRtfToken::Symbol:
            if (SkipCount > 0) {
                --SkipCount;
            } else if (token.param == '*') {
                StarPending = true;
                keepFresh = GroupFresh;
            } else {
                onSymbol(token.param);
            }
            break;
        case TRtfToken::Hex:
            if (SkipCount > 0) {
                --SkipCount;
            } else {
                const char byte = static_cast<char>(token.param);
                onBytes(QByteArrayView(&byte, 1));
            }
            break;
        case TRtfToken::Text: {
            QByteArrayView bytes = token.data;
            if (SkipCount > 0) {
                const qsizetype skipped = std::min<qsizetype>(bytes.size(), SkipCount);
                SkipCount -= static_cast<int>(skipped);
                bytes = bytes.sliced(skipped);
            }
            if (!bytes.isEmpty())
                onBytes(bytes);
            break;
        }
        case TRtfToken::Binary:
            flushBytes();
            if (SkipCount > 0)
                --SkipCount;
            else
                onBinary(token.data);
            break;
        }
        GroupFresh = keepFresh;
        if (token.kind != TRtfToken::Symbol || token.param != '*')
            StarPending = false;
    }
}

void TRtfParser::openGroup()
{
    if (Groups.size() >= MaxDepth) {
        ++OverflowDepth;
        return;
    }
    Group group = top();
    group.role = Role::None;
    Groups.push_back(group);
}

void TRtfParser::closeGroup()
{
    if (OverflowDepth > 0) {
        --OverflowDepth;
        return;
    }
    if (Groups.size() <= 1)
        return; // a closing brace too many: nothing to close
    const Group closed = top();
    Groups.pop_back();
    switch (closed.role) {
    case Role::FontTable:
        commitFont();
        break;
    case Role::Picture:
        finishPicture(closed);
        break;
    case Role::Field:
        if (!Fields.empty())
            Fields.pop_back();
        break;
    case Role::FieldInstruction:
        finishFieldInstruction();
        break;
    case Role::None:
        // A braced font table entry without its ';'.
        if (closed.destination == Destination::FontTable)
            commitFont();
        break;
    }
    if (Groups.size() == 1)
        RootClosed = true;
}

void TRtfParser::skipGroup()
{
    Tokenizer.skipGroup();
    if (OverflowDepth > 0)
        --OverflowDepth;
    else if (Groups.size() > 1)
        Groups.pop_back();
}

void TRtfParser::onWord(const TRtfToken &token)
{
    const TRtfKeyword keyword = RtfKeyword(token.data);
    if (StarPending) {
        StarPending = false;
        const bool known =
            keyword == TRtfKeyword::ShapePicture || keyword == TRtfKeyword::UnicodePair ||
            keyword == TRtfKeyword::FieldInstruction || keyword == TRtfKeyword::NestTableProperties;
        if (!GroupFresh)
            return;
        // \* marks a destination that readers which do not know it must skip.
        if (!known || OverflowDepth > 0 || !beginDestination(keyword))
            skipGroup();
        return;
    }
    if (beginDestination(keyword))
        return;

    Group &group = top();
    switch (group.destination) {
    case Destination::Text:
    case Destination::IgnoredText:
        break;
    case Destination::FontTable:
        fontTableWord(keyword, token);
        return;
    case Destination::ColourTable:
        colourTableWord(keyword, token);
        return;
    case Destination::Picture:
        pictureWord(keyword, token);
        return;
    case Destination::FieldInstruction:
        if (keyword == TRtfKeyword::Unicode)
            onUnicode(static_cast<char16_t>(token.param < 0 ? token.param + 65536 : token.param));
        return;
    case Destination::NestTableProperties:
        if (keyword == TRtfKeyword::NestRow)
            Writer->endNestedRow(group.chars, group.para);
        return;
    }

    switch (keyword) {
    case TRtfKeyword::Ansi:
        DocumentCodePage = RtfCodePageAnsi;
        CachedFont = -2;
        return;
    case TRtfKeyword::Mac:
        DocumentCodePage = RtfCodePageMac;
        CachedFont = -2;
        return;
    case TRtfKeyword::Pc:
        DocumentCodePage = RtfCodePagePc;
        CachedFont = -2;
        return;
    case TRtfKeyword::Pca:
        DocumentCodePage = RtfCodePagePca;
        CachedFont = -2;
        return;
    case TRtfKeyword::AnsiCodePage:
        if (token.param > 0) {
            DocumentCodePage = token.param;
            CachedFont = -2;
        }
        return;
    case TRtfKeyword::DefaultFont:
        DefaultFont = token.param;
        CachedFont = -2;
        return;
    case TRtfKeyword::UnicodeSkip:
        group.unicodeSkip = std::clamp(token.param, 0, 16);
        return;
    case TRtfKeyword::Unicode:
        onUnicode(static_cast<char16_t>(token.param < 0 ? token.param + 65536 : token.param));
        return;
    default:
        break;
    }
    if (paragraphWord(keyword, token))
        return;
    if (group.destination == Destination::Text &&
        (structureWord(keyword, token) || tableWord(keyword, token)))
        return;
    characterWord(keyword, token);
}

bool TRtfParser::beginDestination(TRtfKeyword keyword)
{
    switch (keyword) {
    case TRtfKeyword::FontTable:
    case TRtfKeyword::ColourTable:
    case TRtfKeyword::Skipped:
    case TRtfKeyword::Picture:
    case TRtfKeyword::Field:
    case TRtfKeyword::FieldInstruction:
    case TRtfKeyword::FieldResult:
    case TRtfKeyword::ShapePicture:
    case TRtfKeyword::UnicodeAlternative:
    case TRtfKeyword::UnicodePair:
    case TRtfKeyword::NestTableProperties:
        break;
    default:
        return false;
    }
    // A destination opens its group; the same word elsewhere, or in a group too
    // deep to have its own state, changes nothing.
    if (!GroupFresh || Groups.size() <= 1)
        return true;
    if (OverflowDepth > 0) {
        if (keyword == TRtfKeyword::Skipped)
            skipGroup();
        return true;
    }
    Group &group = top();
    switch (keyword) {
    case TRtfKeyword::FontTable:
        group.destination = Destination::FontTable;
        group.role = Role::FontTable;
        FontOpen = false;
        FontNumber = -1;
        FontEntry = TRtfFont();
        FontName.clear();
        break;
    case TRtfKeyword::ColourTable:
        group.destination = Destination::ColourTable;
        Tables.colours.clear();
        ColourSet = false;
        Red = Green = Blue = 0;
        break;
    case TRtfKeyword::Skipped:
        skipGroup();
        break;
    case TRtfKeyword::Picture:
        group.destination = Destination::Picture;
        group.role = Role::Picture;
        Picture = std::make_unique<TRtfPicture>();
        break;
    case TRtfKeyword::Field:
        group.role = Role::Field;
        Fields.push_back(FieldEntry());
        break;
    case TRtfKeyword::FieldInstruction:
        if (Fields.empty())
            return false; // not inside a field: nothing to instruct
        group.destination = Destination::FieldInstruction;
        group.role = Role::FieldInstruction;
        break;
    case TRtfKeyword::FieldResult:
        group.destination = Destination::Text;
        if (!Fields.empty())
            group.chars.link = Fields.back().link;
        break;
    case TRtfKeyword::ShapePicture:
    case TRtfKeyword::UnicodePair:
        group.destination = Destination::Text;
        break;
    case TRtfKeyword::UnicodeAlternative:
        // \upr holds an ANSI text and, in its \ud, the same text in Unicode.
        group.destination = Destination::IgnoredText;
        break;
    case TRtfKeyword::NestTableProperties:
        group.destination = Destination::NestTableProperties;
        break;
    default:
        break;
    }
    return true;
}

void TRtfParser::onSymbol(int symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}': {
        const char byte = static_cast<char>(symbol);
        onBytes(QByteArrayView(&byte, 1));
        break;
    }
    case '~':
        onUnicode(0x00A0);
        SkipCount = 0;
        break;
    case '-':
        onUnicode(0x00AD);
        SkipCount = 0;
        break;
    case '_':
        onUnicode(0x2011);
        SkipCount = 0;
        break;
    case '\n':
    case '\r':
        // A backslash before a line end is a paragraph mark (TextEdit writes these).
        flushBytes();
        if (top().destination == Destination::Text && !top().chars.hidden)
            Writer->endParagraph(top().chars, top().para);
        break;
    case '\t':
        flushBytes();
        text(u"\t");
        break;
    default:
        break;
    }
}

void TRtfParser::onBytes(QByteArrayView bytes)
{
    Group &group = top();
    switch (group.destination) {
    case Destination::Text:
        if (group.chars.hidden)
            return;
        // Padding after the document's last brace is not text.
        if (RootClosed && Groups.size() == 1 && IsBlank(bytes))
            return;
        if (const int codePage = textCodePage();
            PendingBytes.isEmpty() || PendingCodePage == codePage) {
            PendingCodePage = codePage;
        } else {
            flushBytes();
            PendingCodePage = codePage;
        }
        PendingBytes.append(bytes.data(), bytes.size());
        return;
    case Destination::IgnoredText:
    case Destination::NestTableProperties:
        return;
    case Destination::FontTable:
        for (const char c : bytes) {
            if (c == ';') {
                commitFont();
            } else if (FontName.size() < 256) {
                FontName.append(c);
                FontOpen = true;
            }
        }
        return;
    case Destination::ColourTable:
        for (const char c : bytes) {
            if (c == ';')
                commitColour();
        }
        return;
    case Destination::Picture:
        if (Picture)
            Picture->appendHex(bytes);
        return;
    case Destination::FieldInstruction:
        if (!Fields.empty() && Fields.back().instruction.size() < MaxFieldInstruction)
            Fields.back().instruction += Decoder.decode(DocumentCodePage, bytes);
        return;
    }
}

void TRtfParser::onBinary(QByteArrayView bytes)
{
    if (top().destination == Destination::Picture && Picture)
        Picture->appendBinary(bytes);
}

void TRtfParser::onUnicode(char16_t unit)
{
    flushBytes();
    const Group &group = top();
    if (unit >= 0x20 || unit == u'\t') {
        const QChar character(unit);
        if (group.destination == Destination::Text)
            text(QStringView(&character, 1));
        else if (group.destination == Destination::FieldInstruction && !Fields.empty())
            Fields.back().instruction += character;
    }
    // The next characters are the same text for readers without Unicode.
    SkipCount = group.unicodeSkip;
}

void TRtfParser::text(QStringView value)
{
    const Group &group = top();
    if (group.destination == Destination::Text && !group.chars.hidden && !value.isEmpty())
        Writer->appendText(value, group.chars, group.para);
}

void TRtfParser::flushBytes()
{
    if (PendingBytes.isEmpty())
        return;
    QString decoded = Decoder.decode(PendingCodePage, PendingBytes);
    PendingBytes.clear();
    DropControls(decoded);
    text(decoded);
}

int TRtfParser::textCodePage()
{
    const int font = top().chars.font >= 0 ? top().chars.font : DefaultFont;
    if (font == CachedFont)
        return CachedCodePage;
    int codePage = 0;
    if (const TRtfFont *entry = Tables.font(font)) {
        codePage =
            entry->codePage > 0 ? entry->codePage : RtfFontCodePage(entry->name, entry->charset);
    }
    CachedFont = font;
    CachedCodePage = codePage != 0 ? codePage : DocumentCodePage;
    return CachedCodePage;
}

void TRtfParser::finishPicture(const Group &)
{
    if (!Picture)
        return;
    const std::unique_ptr<TRtfPicture> picture = std::move(Picture);
    const Group &parent = top();
    if (parent.destination != Destination::Text || parent.chars.hidden)
        return;
    const QImage image = picture->image();
    if (image.isNull())
        return;
    const QSizeF size = picture->displaySize(image);
    Writer->insertImage(image, size.width(), size.height(), parent.chars, parent.para);
}

void TRtfParser::finishFieldInstruction()
{
    if (Fields.empty())
        return;
    const QString target = RtfHyperlinkTarget(Fields.back().instruction);
    if (!target.isEmpty()) {
        Fields.back().link = static_cast<int>(Tables.links.size());
        Tables.links.push_back(target);
    }
}

} // namespace tarvello
