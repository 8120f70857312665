#include "rtf/RtfFormat.h"

#include <algorithm>

namespace tarvello {

const TRtfFont *TRtfTables::font(int number) const
{
    const auto found = fonts.find(number);
    return found == fonts.end() ? nullptr : &found->second;
}

QColor TRtfTables::colour(int index) const
{
    if (index < 0 || index >= static_cast<int>(colours.size()))
        return QColor();
    return colours[static_cast<size_t>(index)];
}

QTextCharFormat RtfCharFormat(const TRtfCharState &state, const TRtfTables &tables)
{
    QTextCharFormat format;
    if (const TRtfFont *font = tables.font(state.font); font && !font->name.isEmpty()) {
        format.setFontFamilies({font->name});
        if (font->hint != QFont::AnyStyle)
            format.setFontStyleHint(font->hint);
    }
    if (state.halfPoints > 0)
        format.setFontPointSize(std::clamp(state.halfPoints, 2, 3276) / 2.0);
    if (state.bold)
        format.setFontWeight(QFont::Bold);
    if (state.italic)
        format.setFontItalic(true);
    if (state.underline)
        format.setFontUnderline(true);
    if (state.strike)
        format.setFontStrikeOut(true);
    if (state.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (state.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    if (state.script == TRtfCharState::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.script == TRtfCharState::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (const QColor colour = tables.colour(state.foreground); colour.isValid())
        format.setForeground(colour);
    if (const QColor colour = tables.colour(state.background); colour.isValid())
        format.setBackground(colour);
    if (state.link >= 0 && state.link < static_cast<int>(tables.links.size())) {
        format.setAnchor(true);
        format.setAnchorHref(tables.links[static_cast<size_t>(state.link)]);
    }
    return format;
}

QTextBlockFormat RtfBlockFormat(const TRtfParaState &state)
{
    QTextBlockFormat format;
    format.setAlignment(state.alignment);
    if (state.leftIndent != 0)
        format.setLeftMargin(std::max(0.0, TwipsToPixels(state.leftIndent)));
    if (state.rightIndent != 0)
        format.setRightMargin(std::max(0.0, TwipsToPixels(state.rightIndent)));
    if (state.firstIndent != 0)
        format.setTextIndent(TwipsToPixels(state.firstIndent));
    if (state.spaceBefore > 0)
        format.setTopMargin(TwipsToPixels(state.spaceBefore));
    if (state.spaceAfter > 0)
        format.setBottomMargin(TwipsToPixels(state.spaceAfter));
    if (!state.tabs.empty())
        format.setTabPositions(QList<QTextOption::Tab>(state.tabs.begin(), state.tabs.end()));
    if (state.lineSpacing != 0) {
        if (state.lineMultiple && state.lineSpacing > 0) {
            // \slN\slmult1 is N/240 of single spacing.
            const int percent = std::clamp(state.lineSpacing * 100 / 240, 50, 500);
            format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
        } else if (state.lineSpacing > 0) {
            format.setLineHeight(TwipsToPixels(std::min(state.lineSpacing, 14400)),
                                 QTextBlockFormat::MinimumHeight);
        } else {
            format.setLineHeight(TwipsToPixels(std::min(-state.lineSpacing, 14400)),
                                 QTextBlockFormat::FixedHeight);
        }
    }
    return format;
}

} // namespace tarvello
