#include "DemoScore.h"

#include "core/TarvelloError.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <vector>

namespace tarvello {

namespace {

enum class TLineKind { Chords, Words, Heading, Gap };

struct TSheetLine {
    TLineKind Kind;
    QString Text;
};

struct TScorePage {
    QString Title;
    QString Feel;
    std::vector<TSheetLine> Lines;
};

TSheetLine C(const char *text)
{
    return {TLineKind::Chords, QString::fromUtf8(text)};
}
TSheetLine W(const char *text)
{
    return {TLineKind::Words, QString::fromUtf8(text)};
}
TSheetLine H(const char *text)
{
    return {TLineKind::Heading, QString::fromUtf8(text)};
}
const TSheetLine Gap{TLineKind::Gap, QString()};

const std::array<TScorePage, DemoScorePages> &ScorePages()
{
    static const std::array<TScorePage, DemoScorePages> pages = {{
        {QStringLiteral("I. Dawn on the Ridge"),
         QStringLiteral("Key of D - 72 bpm - 4/4 - count in four"),
         {H("Verse"), C("D            G           D"), W("Grey light over Marrow Hill,"),
          C("Bm           G          A"), W("the kettle's on, the valley still,"),
          C("D             G            D"), W("we packed the cart before the sun"),
          C("G          A            D"), W("and left the door for everyone."), Gap, H("Chorus"),
          C("G        D         A        Bm"), W("Walk on, walk on, the ridge is long,"),
          C("G          D           A"), W("carry the morning in a song.")}},
        {QStringLiteral("II. The Long Way Down"),
         QStringLiteral("Key of B minor - half-time feel - brushes"),
         {H("Verse"), C("Bm              G"), W("Stones on the path remember"),
          C("D                 A"), W("every boot that wore them smooth,"), C("Bm              G"),
          W("every cart and every drover"), C("Em               F#"),
          W("going slowly, telling truth."), Gap, H("Bridge - choir on the second keyboard"),
          C("G      A      Bm     Bm/A"), W("Ooh -  ooh -  down we go,"), C("G      A      F#"),
          W("down to the river, slow.")}},
        {QStringLiteral("III. Lanterns at the Gate"),
         QStringLiteral("Key of D - back to 72 bpm - full band"),
         {H("Verse"), C("D                 A"), W("Somebody hung a lantern,"),
          C("Bm                G"), W("somebody left it burning,"), C("D                 A"),
          W("so the ones who went out walking"), C("G          A          D"),
          W("would find the gate returning."), Gap, H("Chorus twice - up a tone the second time"),
          C("A        E         B        C#m"), W("Walk on, walk on, the ridge is long,"),
          C("A          E           B"), W("carry the morning in a song.")}},
        {QStringLiteral("Coda"),
         QStringLiteral("Slow down over the last four bars"),
         {C("| E    | A    | E/G# | B    |"), C("| E    | A    | B    | E    |"), Gap,
          W("Hold the last E."), W("Cut off together on the drummer's nod."), Gap,
          H("Next in the show: Salt and Static")}},
    }};
    return pages;
}

void PaintPage(QPainter &painter, const QRect &area, const TScorePage &page, int number)
{
    const QColor ink(20, 30, 60);
    const QColor band(40, 70, 140);
    const QColor chordInk(170, 40, 40);
    const QString sans = QStringLiteral("DejaVu Sans");
    const QString mono = QStringLiteral("DejaVu Sans Mono");

    // A coloured band with the movement's title, and the page number beside
    // it, large enough to read from a few steps away.
    const QRect header(area.left(), area.top(), area.width(), 90);
    painter.fillRect(header, band);
    painter.setPen(Qt::white);
    painter.setFont(QFont(sans, 22, QFont::Bold));
    painter.drawText(header.adjusted(16, 8, -16, -44), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("The Marrow Hill Suite"));
    painter.setFont(QFont(sans, 15));
    painter.drawText(header.adjusted(16, 46, -16, -8), Qt::AlignLeft | Qt::AlignVCenter,
                     page.Title);
    painter.setFont(QFont(sans, 34, QFont::Bold));
    painter.drawText(header.adjusted(16, 0, -16, 0), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(number));

    QFont feelFont(sans, 13);
    feelFont.setItalic(true);
    painter.setFont(feelFont);
    painter.setPen(ink);
    int y = header.bottom() + 36;
    painter.drawText(area.left(), y, page.Feel);
    y += 44;

    // Chords stand in a fixed-width font right above the words they fall on.
    for (const TSheetLine &line : page.Lines) {
        switch (line.Kind) {
        case TLineKind::Gap:
            y += 20;
            continue;
        case TLineKind::Heading:
            painter.setFont(QFont(sans, 14, QFont::Bold));
            painter.setPen(band);
            y += 6;
            break;
        case TLineKind::Chords:
            painter.setFont(QFont(mono, 15, QFont::Bold));
            painter.setPen(chordInk);
            break;
        case TLineKind::Words:
            painter.setFont(QFont(mono, 15));
            painter.setPen(ink);
            break;
        }
        painter.drawText(area.left() + 10, y, line.Text);
        y += line.Kind == TLineKind::Words ? 34 : 24;
    }

    painter.setPen(QColor(110, 110, 110));
    painter.setFont(QFont(sans, 10));
    painter.drawText(
        area.adjusted(0, 0, 0, -4), Qt::AlignBottom | Qt::AlignHCenter,
        QStringLiteral("Tarvello demo show - page %1 of %2").arg(number).arg(DemoScorePages));
}

} // namespace

void WriteDemoScore(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw TError(QStringLiteral("Unable to write to %1").arg(path));
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(QStringLiteral("The Marrow Hill Suite"));
        writer.setCreator(QStringLiteral("Tarvello demo show"));
        writer.setResolution(72); // one unit is one point
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(36, 36, 36, 36)));
        QPainter painter(&writer);
        const QRect paintRect = writer.pageLayout().paintRectPixels(writer.resolution());
        const QRect area(0, 0, paintRect.width(), paintRect.height());
        const auto &pages = ScorePages();
        for (int i = 0; i < DemoScorePages; ++i) {
            if (i > 0) {
                writer.newPage();
            }
            PaintPage(painter, area, pages[i], i + 1);
        }
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        throw TError(QStringLiteral("Unable to write to %1").arg(path));
    }
}

} // namespace tarvello
