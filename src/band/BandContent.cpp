#include "band/BandContent.h"

#include "files/TextFile.h"
#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPdfDocument>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace tarvello {
namespace {

// Files beyond this are no prompt a phone could show.
constexpr qint64 LargestServedFile = 64 * 1024 * 1024;

QByteArray ReadWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestServedFile) {
        return {};
    }
    return file.readAll();
}

// A link inside a prompt would lead a follower away from the show (or to
// "javascript:"): the text stays, the link goes.
void RemoveLinks(QTextDocument &document)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.isAnchor() && format.anchorHref().isEmpty()) {
                continue;
            }
            format.setAnchor(false);
            format.setAnchorHref(QString());
            format.setAnchorNames({});
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

TBandContent Html(const QString &html)
{
    return {html.toUtf8(), QByteArrayLiteral("text/html; charset=utf-8"), true};
}

TBandContent PdfPage(const QString &path, int page, int width)
{
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None || page < 1 ||
        page > document.pageCount()) {
        return {};
    }
    const QSizeF points = document.pagePointSize(page - 1);
    if (points.width() <= 0 || points.height() <= 0) {
        return {};
    }
    const QSize size(width, int(std::lround(width * points.height() / points.width())));
    const QImage image = document.render(page - 1, size);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    // Fast over small: the picture goes over the stage network once.
    if (image.isNull() || !image.save(&buffer, "PNG", 80)) {
        return {};
    }
    return {buffer.data(), QByteArrayLiteral("image/png"), true};
}

QByteArray PictureType(const QString &path)
{
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String("gif"))) {
        return QByteArrayLiteral("image/gif");
    }
    if (lower.endsWith(QLatin1String("bmp"))) {
        return QByteArrayLiteral("image/bmp");
    }
    return QByteArrayLiteral("image/jpeg");
}

} // namespace

int BandPageWidth(int asked)
{
    const int steps = (std::clamp(asked, 320, 2560) + 159) / 160;
    return steps * 160;
}

TBandContent MakeBandContent(const TBandPrompt &prompt, int width)
{
    const QString &kind = prompt.Kind;
    if (kind == QLatin1String("pdf")) {
        return PdfPage(prompt.File, prompt.Page, BandPageWidth(width));
    }
    QFile probe(prompt.File);
    if (!probe.exists()) {
        return {};
    }
    const QByteArray bytes = ReadWhole(prompt.File);
    if (kind == QLatin1String("text")) {
        return Html(QStringLiteral("<pre class=\"prompt\">") + DecodeText(bytes).toHtmlEscaped() +
                    QStringLiteral("</pre>"));
    }
    if (kind == QLatin1String("rtf")) {
        QTextDocument document;
        ReadRtf(bytes, document);
        RemoveLinks(document);
        return Html(document.toHtml());
    }
    if (kind == QLatin1String("picture")) {
        return {bytes, PictureType(prompt.File), !bytes.isEmpty()};
    }
    if (kind == QLatin1String("html")) {
        return {bytes, QByteArrayLiteral("text/html"), true};
    }
    return {};
}

} // namespace tarvello
