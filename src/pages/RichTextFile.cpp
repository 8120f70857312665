#include "pages/RichTextFile.h"

#include "core/TarvelloError.h"
#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <mutex>

namespace tarvello {
namespace {

// More than this is no prompt anybody reads on stage; the rest of a huge file
// stays unread rather than freezing the show while it is laid out.
constexpr qint64 MaxShownBytes = 2 * 1024 * 1024;

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252 as files made
// on Windows are.
QString DecodeShownText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    QStringDecoder windows(QStringLiteral("windows-1252").toLatin1().constData());
    if (windows.isValid()) {
        return windows(bytes);
    }
    return QString::fromLatin1(bytes);
}

std::mutex ReadsLock;
QHash<QString, int> &Reads()
{
    static QHash<QString, int> reads;
    return reads;
}

} // namespace

TPromptFileBytes ReadPromptFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw TError(QStringLiteral("Cannot open file \"%1\". %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    {
        const std::lock_guard lock(ReadsLock);
        ++Reads()[path];
    }
    TPromptFileBytes read;
    read.Bytes = file.read(MaxShownBytes);
    if (file.error() != QFileDevice::NoError) {
        throw TError(QStringLiteral("Cannot read file \"%1\". %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    read.Cut = !file.atEnd();
    return read;
}

int PromptFileReads(const QString &path)
{
    const std::lock_guard lock(ReadsLock);
    if (!path.isEmpty()) {
        return Reads().value(path);
    }
    int all = 0;
    for (const int count : std::as_const(Reads())) {
        all += count;
    }
    return all;
}

TPromptFileKind PromptFileKindOf(const QByteArray &bytes)
{
    if (LooksLikeRtf(bytes)) {
        return TPromptFileKind::Rtf;
    }
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    return QImageReader(&buffer).canRead() ? TPromptFileKind::Picture : TPromptFileKind::Text;
}

void BuildPromptDocument(QTextDocument &document, const TPromptFileBytes &file)
{
    if (LooksLikeRtf(file.Bytes)) {
        ReadRtf(file.Bytes, document);
        return;
    }
    QString text = DecodeShownText(file.Bytes);
    if (file.Cut) {
        text += QStringLiteral("\n\n[Only the first %1 MB of this file are shown.]")
                    .arg(MaxShownBytes / (1024 * 1024));
    }
    document.setPlainText(text);
}

void LoadIntoRichText(QTextEdit &view, const QString &path)
{
    TPromptFileBytes file = ReadPromptFile(path);
    if (LooksLikeRtf(file.Bytes)) {
        ReadRtf(file.Bytes, *view.document());
        view.moveCursor(QTextCursor::Start);
        return;
    }

    // A picture that lands here (PNG, or a JPEG named ".jpeg") is shown as
    // the picture, not as its bytes.
    QBuffer buffer(&file.Bytes);
    QImageReader pictures(&buffer);
    if (pictures.canRead()) {
        const QImage picture = pictures.read();
        if (!picture.isNull()) {
            const QUrl name(QStringLiteral("tarvello-picture:shown"));
            view.document()->addResource(QTextDocument::ImageResource, name, picture);
            QTextImageFormat format;
            format.setName(name.toString());
            const int room = std::max(32, view.viewport()->width() - 16);
            if (picture.width() > room) {
                format.setWidth(room);
                format.setHeight(double(picture.height()) * room / picture.width());
            }
            QTextCursor cursor(view.document());
            cursor.insertImage(format);
            view.moveCursor(QTextCursor::Start);
            return;
        }
    }
    BuildPromptDocument(*view.document(), file);
    view.moveCursor(QTextCursor::Start);
}

void InsertFirstLine(QTextEdit &view, const QString &line)
{
    InsertFirstLine(*view.document(), line);
    view.moveCursor(QTextCursor::Start);
}

void InsertFirstLine(QTextDocument &document, const QString &line)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::Start);
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    cursor.setBlockFormat(QTextBlockFormat());
    QTextCharFormat plain;
    plain.setFont(document.defaultFont());
    cursor.insertText(line, plain);
}

} // namespace tarvello
