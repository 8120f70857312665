#include "common/RtfParser.h"

#include <QTextDocument>

#include <algorithm>

namespace tarvello {

namespace {

// Real documents nest a few dozen groups deep. Deeper groups are still matched
// brace for brace, but share their parent's state instead of growing the stack.
constexpr size_t MaxDepth = 500;
// Lengths beyond 22 inches are damage, not layout.
constexpr int MaxTwips = 31680;
constexpr qsizetype MaxFieldInstruction = 4096;
constexpr size_t MaxTableEntries = 4096;
constexpr size_t MaxTabStops = 64;

int Length(const TRtfToken &token)
{
    return std::clamp(token.param, -MaxTwips, MaxTwips);
}

bool On(const TRtfToken &token)
{
    return !token.hasParam || token.param != 0;
}

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

// The target of a HYPERLINK field: its address, or "#name" for a place in the
// document (\l), with the tooltip and frame switches left out.
QString HyperlinkTarget(const QString &instruction)
{
    const QString text = instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return QString();
    QString address;
    QString anchor;
    bool nextIsAnchor = false;
    bool nextIsSkipped = false;
    qsizetype i = 9;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar option = text[i + 1].toLower();
            nextIsAnchor = option == QLatin1Char('l');
            nextIsSkipped = option == QLatin1Char('o') || option == QLatin1Char('t');
            i += 2;
            continue;
        }
        QString argument;
        if (c == QLatin1Char('"')) {
            const qsizetype end = text.indexOf(QLatin1Char('"'), i + 1);
            argument = text.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? text.size() : end + 1;
        } else {
            qsizetype end = i;
            while (end < text.size() && !text[end].isSpace())
                ++end;
            argument = text.mid(i, end - i);
            i = end;
        }
        if (nextIsAnchor)
            anchor = argument;
        else if (!nextIsSkipped && address.isEmpty())
            address = argument;
        nextIsAnchor = false;
        nextIsSkipped = false;
    }
    if (!anchor.isEmpty())
        address += QLatin1Char('#') + anchor;
    return address;
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
        switch (keyword) {
        case TRtfKeyword::FontNumber:
            if (FontOpen && FontNumber != token.param)
                commitFont(); // an entry without its ';'
            FontNumber = token.param;
            FontOpen = true;
            break;
        case TRtfKeyword::FontCharset:
            FontEntry.charset = token.param;
            break;
        case TRtfKeyword::FontCodePage:
            FontEntry.codePage = token.param;
            break;
        case TRtfKeyword::FontRoman:
            FontEntry.hint = QFont::Serif;
            break;
        case TRtfKeyword::FontSwiss:
            FontEntry.hint = QFont::SansSerif;
            break;
        case TRtfKeyword::FontModern:
            FontEntry.hint = QFont::TypeWriter;
            break;
        case TRtfKeyword::FontScript:
            FontEntry.hint = QFont::Cursive;
            break;
        case TRtfKeyword::FontDecor:
            FontEntry.hint = QFont::Decorative;
            break;
        default:
            break;
        }
        return;
    case Destination::ColourTable: {
        const int value = std::clamp(token.param, 0, 255);
        if (keyword == TRtfKeyword::Red)
            Red = value;
        else if (keyword == TRtfKeyword::Green)
            Green = value;
        else if (keyword == TRtfKeyword::Blue)
            Blue = value;
        else
            return;
        ColourSet = true;
        return;
    }
    case Destination::Picture:
        if (Picture) {
            switch (keyword) {
            case TRtfKeyword::PngBlip:
                Picture->setFormat(TRtfPicture::Png);
                break;
            case TRtfKeyword::JpegBlip:
                Picture->setFormat(TRtfPicture::Jpeg);
                break;
            case TRtfKeyword::OtherBlip:
                Picture->setFormat(TRtfPicture::Other);
                break;
            case TRtfKeyword::PictureGoalWidth:
                Picture->setGoalWidth(std::clamp(token.param, 0, 10 * MaxTwips));
                break;
            case TRtfKeyword::PictureGoalHeight:
                Picture->setGoalHeight(std::clamp(token.param, 0, 10 * MaxTwips));
                break;
            case TRtfKeyword::PictureScaleX:
                Picture->setScaleX(std::clamp(token.param, 1, 1000));
                break;
            case TRtfKeyword::PictureScaleY:
                Picture->setScaleY(std::clamp(token.param, 1, 1000));
                break;
            default:
                break;
            }
        }
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

void TRtfParser::characterWord(TRtfKeyword keyword, const TRtfToken &token)
{
    TRtfCharState &chars = top().chars;
    switch (keyword) {
    case TRtfKeyword::Plain: {
        // A link's text stays a link whatever formatting it resets.
        const int link = chars.link;
        chars = TRtfCharState();
        chars.link = link;
        break;
    }
    case TRtfKeyword::Bold:
        chars.bold = On(token);
        break;
    case TRtfKeyword::Italic:
        chars.italic = On(token);
        break;
    case TRtfKeyword::Underline:
        chars.underline = On(token);
        break;
    case TRtfKeyword::UnderlineNone:
        chars.underline = false;
        break;
    case TRtfKeyword::Strike:
        chars.strike = On(token);
        break;
    case TRtfKeyword::Hidden:
        chars.hidden = On(token);
        break;
    case TRtfKeyword::Caps:
        chars.caps = On(token);
        break;
    case TRtfKeyword::SmallCaps:
        chars.smallCaps = On(token);
        break;
    case TRtfKeyword::Super:
        chars.script = TRtfCharState::Super;
        break;
    case TRtfKeyword::Sub:
        chars.script = TRtfCharState::Sub;
        break;
    case TRtfKeyword::NoSuperSub:
        chars.script = TRtfCharState::Normal;
        break;
    case TRtfKeyword::Up:
        chars.script = On(token) ? TRtfCharState::Super : TRtfCharState::Normal;
        break;
    case TRtfKeyword::Down:
        chars.script = On(token) ? TRtfCharState::Sub : TRtfCharState::Normal;
        break;
    case TRtfKeyword::FontSize:
        chars.halfPoints = !token.hasParam ? 24 : (token.param > 0 ? token.param : -1);
        break;
    case TRtfKeyword::FontNumber:
        chars.font = token.param;
        break;
    case TRtfKeyword::Foreground:
        chars.foreground = token.param;
        break;
    case TRtfKeyword::Background:
        // Unlike \cf0, a highlight of 0 is no highlight whatever the table's first entry.
        chars.background = token.param > 0 ? token.param : -1;
        break;
    default:
        break;
    }
}

bool TRtfParser::paragraphWord(TRtfKeyword keyword, const TRtfToken &token)
{
    TRtfParaState &para = top().para;
    switch (keyword) {
    case TRtfKeyword::Pard:
        para = TRtfParaState();
        return true;
    case TRtfKeyword::AlignLeft:
        para.alignment = Qt::AlignLeft;
        return true;
    case TRtfKeyword::AlignCentre:
        para.alignment = Qt::AlignHCenter;
        return true;
    case TRtfKeyword::AlignRight:
        para.alignment = Qt::AlignRight;
        return true;
    case TRtfKeyword::AlignJustify:
        para.alignment = Qt::AlignJustify;
        return true;
    case TRtfKeyword::LeftIndent:
        para.leftIndent = Length(token);
        return true;
    case TRtfKeyword::RightIndent:
        para.rightIndent = Length(token);
        return true;
    case TRtfKeyword::FirstIndent:
        para.firstIndent = Length(token);
        return true;
    case TRtfKeyword::SpaceBefore:
        para.spaceBefore = Length(token);
        return true;
    case TRtfKeyword::SpaceAfter:
        para.spaceAfter = Length(token);
        return true;
    case TRtfKeyword::LineSpacing:
        para.lineSpacing = Length(token);
        return true;
    case TRtfKeyword::LineMultiple:
        para.lineMultiple = On(token);
        return true;
    case TRtfKeyword::TabRight:
        para.nextTabType = QTextOption::RightTab;
        return true;
    case TRtfKeyword::TabCentre:
        para.nextTabType = QTextOption::CenterTab;
        return true;
    case TRtfKeyword::TabDecimal:
        para.nextTabType = QTextOption::DelimiterTab;
        return true;
    case TRtfKeyword::TabStop:
        if (token.param > 0 && para.tabs.size() < MaxTabStops) {
            QTextOption::Tab tab(TwipsToPixels(std::min(token.param, MaxTwips)), para.nextTabType);
            if (para.nextTabType == QTextOption::DelimiterTab)
                tab.delimiter = QLatin1Char('.');
            para.tabs.push_back(tab);
        }
        para.nextTabType = QTextOption::LeftTab;
        return true;
    case TRtfKeyword::InTable:
        para.inTable = true;
        return true;
    case TRtfKeyword::NestLevel:
        para.nestLevel = std::max(0, token.param);
        para.inTable = para.nestLevel > 0;
        return true;
    default:
        return false;
    }
}

bool TRtfParser::structureWord(TRtfKeyword keyword, const TRtfToken &)
{
    static constexpr char16_t LineSeparator[] = u"\u2028";
    const char16_t *special = nullptr;
    switch (keyword) {
    case TRtfKeyword::Par:
        if (!top().chars.hidden)
            Writer->endParagraph(top().chars, top().para);
        return true;
    case TRtfKeyword::Line:
        special = LineSeparator;
        break;
    case TRtfKeyword::Tab:
        special = u"\t";
        break;
    case TRtfKeyword::EmDash:
        special = u"\u2014";
        break;
    case TRtfKeyword::EnDash:
        special = u"\u2013";
        break;
    case TRtfKeyword::Bullet:
        special = u"\u2022";
        break;
    case TRtfKeyword::LeftQuote:
        special = u"\u2018";
        break;
    case TRtfKeyword::RightQuote:
        special = u"\u2019";
        break;
    case TRtfKeyword::LeftDoubleQuote:
        special = u"\u201C";
        break;
    case TRtfKeyword::RightDoubleQuote:
        special = u"\u201D";
        break;
    case TRtfKeyword::EmSpace:
        special = u"\u2003";
        break;
    case TRtfKeyword::EnSpace:
        special = u"\u2002";
        break;
    case TRtfKeyword::QuarterSpace:
        special = u"\u2005";
        break;
    case TRtfKeyword::ZeroWidthJoiner:
        special = u"\u200D";
        break;
    case TRtfKeyword::ZeroWidthNonJoiner:
        special = u"\u200C";
        break;
    case TRtfKeyword::LeftToRightMark:
        special = u"\u200E";
        break;
    case TRtfKeyword::RightToLeftMark:
        special = u"\u200F";
        break;
    default:
        return false;
    }
    text(QStringView(special));
    return true;
}

bool TRtfParser::tableWord(TRtfKeyword keyword, const TRtfToken &token)
{
    const Group &group = top();
    switch (keyword) {
    case TRtfKeyword::Cell:
        Writer->endCell(group.chars, group.para);
        return true;
    case TRtfKeyword::Row:
        Writer->endRow();
        return true;
    case TRtfKeyword::NestCell:
        Writer->endNestedCell();
        return true;
    case TRtfKeyword::NestRow:
        Writer->endNestedRow(group.chars, group.para);
        return true;
    case TRtfKeyword::RowDefinition:
        Writer->defineRow();
        return true;
    case TRtfKeyword::CellBoundary:
        Writer->defineCell(std::clamp(token.param, 0, 10 * MaxTwips));
        return true;
    default:
        return false;
    }
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

void TRtfParser::commitFont()
{
    if (!FontOpen)
        return;
    if (FontNumber >= 0 && Tables.fonts.size() < MaxTableEntries) {
        const int codePage = FontEntry.codePage > 0   ? FontEntry.codePage
                             : FontEntry.charset >= 0 ? RtfCharsetCodePage(FontEntry.charset)
                                                      : 0;
        const int nameCodePage =
            codePage > 0 ? codePage : (codePage < 0 ? RtfCodePageAnsi : DocumentCodePage);
        FontEntry.name = Decoder.decode(nameCodePage, FontName).trimmed();
        Tables.fonts[FontNumber] = FontEntry;
    }
    FontOpen = false;
    FontNumber = -1;
    FontEntry = TRtfFont();
    FontName.clear();
    CachedFont = -2;
}

void TRtfParser::commitColour()
{
    if (Tables.colours.size() < MaxTableEntries)
        Tables.colours.push_back(ColourSet ? QColor(Red, Green, Blue) : QColor());
    ColourSet = false;
    Red = Green = Blue = 0;
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
    const QString target = HyperlinkTarget(Fields.back().instruction);
    if (!target.isEmpty()) {
        Fields.back().link = static_cast<int>(Tables.links.size());
        Tables.links.push_back(target);
    }
}

} // namespace tarvello
