#include "rtf/RtfParser.h"

#include <algorithm>

namespace tarvello {

namespace {

// Lengths beyond 22 inches are damage, not layout.
constexpr int MaxTwips = 31680;
constexpr size_t MaxTabStops = 64;
// Tables beyond this are damage; their entries are dropped.
constexpr size_t MaxTableEntries = 4096;

int Length(const TRtfToken &token)
{
    return std::clamp(token.param, -MaxTwips, MaxTwips);
}

bool On(const TRtfToken &token)
{
    return !token.hasParam || token.param != 0;
}

} // namespace

void TRtfParser::fontTableWord(TRtfKeyword keyword, const TRtfToken &token)
{
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
}

void TRtfParser::colourTableWord(TRtfKeyword keyword, const TRtfToken &token)
{
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
}

void TRtfParser::pictureWord(TRtfKeyword keyword, const TRtfToken &token)
{
    // Picture properties describe the data to come; there is no picture only when
    // a \pict group was too deep to get its own state.
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

// The font and colour tables: an entry is kept when its group or its
// separator ends it.
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

} // namespace tarvello
