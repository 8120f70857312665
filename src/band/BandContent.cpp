#include "band/BandContent.h"

#include "files/TextFile.h"
#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <optional>

namespace tarvello {
namespace {

std::optional<QByteArray> ReadWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestServedFile) {
        return std::nullopt;
    }
    // Read no more than the limit, whatever the file became meanwhile.
    QByteArray bytes = file.read(LargestServedFile + 1);
    if (bytes.size() > LargestServedFile) {
        return std::nullopt;
    }
    return bytes;
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

TBandContent BandPagePicture(const QImage &page)
{
    if (page.isNull()) {
        return {};
    }
    QImage image = page;
    image.setDevicePixelRatio(1);
    if (image.width() > BandPictureMaxWidth) {
        image = image.scaledToWidth(BandPictureMaxWidth, Qt::SmoothTransformation);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    // Fast over small: the picture goes over the stage network once.
    if (!image.save(&buffer, "PNG", 80)) {
        return {};
    }
    return {buffer.data(), QByteArrayLiteral("image/png"), true};
}

TBandContent MakeBandContent(const TBandPrompt &prompt)
{
    const QString &kind = prompt.Kind;
    const std::optional<QByteArray> read = ReadWhole(prompt.File);
    if (!read) {
        return {};
    }
    const QByteArray &bytes = *read;
    // A text or RTF file is read as the stage reads it: by its bytes, whatever
    // its name says.
    const bool document = kind == QLatin1String("text") || kind == QLatin1String("rtf");
    if (document && !LooksLikeRtf(bytes)) {
        return Html(QStringLiteral("<pre class=\"prompt\">") + DecodeText(bytes).toHtmlEscaped() +
                    QStringLiteral("</pre>"));
    }
    if (document) {
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
