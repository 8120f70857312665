#include "prompt/PromptReference.h"

#include "core/TarvelloError.h"

#include <QImageReader>

namespace tarvello {
namespace {

// Decimal with an optional sign after any leading blanks; nothing may follow.
bool ParsePageNumber(const QString &text, int &page)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == QLatin1Char(' ')) {
        ++start;
    }
    const QString number = text.mid(start);
    if (number.isEmpty() || number.front().isSpace()) {
        return false;
    }
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number.at(i);
        const bool sign = i == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'));
        if (!sign && (c < QLatin1Char('0') || c > QLatin1Char('9'))) {
            return false;
        }
    }
    bool ok = false;
    page = number.toInt(&ok, 10);
    return ok;
}

} // namespace

TPromptReference ParsePromptReference(const QString &stored,
                                      const std::function<bool(const QString &)> &isFile)
{
    static const QString marker = QStringLiteral("/PAGE");
    // Searching without regard to case on the original text keeps positions
    // right where upper-casing would change the length (as with "ß").
    const qsizetype at = stored.lastIndexOf(marker, -1, Qt::CaseInsensitive);
    if (at < 0) {
        return {stored, 1};
    }
    const QString pageText = stored.mid(at + marker.size() + 1);
    TPromptReference result;
    result.Reference = stored.left(at).trimmed();
    if (!ParsePageNumber(pageText, result.Page)) {
        if (isFile && isFile(stored)) {
            return {stored, 1};
        }
        throw TError(QStringLiteral("'%1' is not a valid integer value").arg(pageText));
    }
    return result;
}

bool IsWebAddress(const QString &reference)
{
    return reference.contains(QStringLiteral("//"));
}

const std::vector<TShownFileKind> &ShownFileKinds()
{
    static const std::vector<TShownFileKind> kinds = [] {
        std::vector<TShownFileKind> made{
            {QStringLiteral("Text and RTF files"), TFileView::RichText, {"txt", "rtf"}},
            {QStringLiteral("PDF documents"), TFileView::Pdf, {"pdf"}},
            {QStringLiteral("HTML pages"), TFileView::Browser, {"htm", "html"}},
            {QStringLiteral("Pictures"), TFileView::Browser, {"jpg", "gif", "bmp"}},
        };
        const QStringList &browserPictures = made.back().Extensions;
        QStringList read;
        for (const QByteArray &format : QImageReader::supportedImageFormats()) {
            const QString extension = QString::fromLatin1(format).toLower();
            if (!browserPictures.contains(extension) && !read.contains(extension)) {
                read.append(extension);
            }
        }
        made.push_back({QStringLiteral("Pictures"), TFileView::RichText, read});
        return made;
    }();
    return kinds;
}

TFileView FileViewForName(const QString &name)
{
    for (const TShownFileKind &kind : ShownFileKinds()) {
        if (kind.View == TFileView::RichText) {
            continue;
        }
        for (const QString &extension : kind.Extensions) {
            if (name.endsWith(extension, Qt::CaseInsensitive)) {
                return kind.View;
            }
        }
    }
    return TFileView::RichText;
}

QString SelectionCaption(bool patchMode, int controller, int value)
{
    if (patchMode) {
        return ProgramCaption() + QStringLiteral(" - Midi Patch ") + QString::number(value);
    }
    return ProgramCaption() + QStringLiteral(" - Midi Controller ") + QString::number(controller) +
           QStringLiteral(" Value ") + QString::number(value);
}

QString NumberedLine(const QString &key, const QString &text)
{
    return key + QStringLiteral(" - ") + text;
}

} // namespace tarvello
