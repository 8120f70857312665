#include "files/TextFile.h"

#include "core/TarvelloError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

namespace tarvello {

namespace {

constexpr char ControlZ = '\x1A';

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool StartsWithUtf16Bom(const QByteArray &bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

QString DecodeUtf16(const QByteArray &bytes)
{
    // The decoder reads the byte-order mark to choose the byte order and drops it.
    QStringDecoder decoder(QStringConverter::Utf16);
    return decoder.decode(bytes);
}

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

// The text of `bytes` when they are valid UTF-8.
std::optional<QString> StrictUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return std::nullopt;
    }
    return text;
}

bool ParentFolderExists(const QString &path)
{
    const QFileInfo info(path);
    return QFileInfo(info.absolutePath()).isDir();
}

QString IoErrorText(int errorNumber)
{
    return QStringLiteral("I/O error %1").arg(errorNumber);
}

// Why a write failed, in the system's words; Qt's own account when the
// system gave no error number.
QString CauseText(const QFileDevice &file, int errorNumber)
{
    return errorNumber != 0 ? qt_error_string(errorNumber) : file.errorString();
}

} // namespace

QString DecodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(Windows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString DecodeText(const QByteArray &bytes)
{
    if (StartsWithUtf16Bom(bytes)) {
        return DecodeUtf16(bytes);
    }
    // The byte-order mark is dropped here, whichever way the first line decodes.
    const QByteArrayView body =
        QByteArrayView(bytes).sliced(bytes.startsWith(Utf8Bom) ? Utf8Bom.size() : 0);
    if (const std::optional<QString> text = StrictUtf8(body)) {
        return *text;
    }
    // One line typed on Windows must not turn the UTF-8 of all the others into
    // mojibake, which the next save would store for good: each line is decoded
    // on its own. A line break is one ASCII byte in both encodings and is never
    // part of a UTF-8 sequence, so the lines can be cut apart before decoding.
    QString text;
    text.reserve(body.size());
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype end = start;
        while (end < body.size() && body[end] != '\n' && body[end] != '\r') {
            ++end;
        }
        const QByteArrayView line = body.sliced(start, end - start);
        const std::optional<QString> utf8 = StrictUtf8(line);
        text += utf8 ? *utf8 : DecodeWindows1252(line.toByteArray());
        if (end < body.size()) {
            text += QLatin1Char(body[end]);
            ++end;
        }
        start = end;
    }
    return text;
}

QStringList SplitTextLines(const QByteArray &bytes)
{
    QString text;
    if (StartsWithUtf16Bom(bytes)) {
        text = DecodeUtf16(bytes);
        const qsizetype end = text.indexOf(QLatin1Char(ControlZ));
        if (end >= 0) {
            text.truncate(end);
        }
    } else {
        // Cut before decoding, so bytes after the end mark cannot make an otherwise
        // valid UTF-8 file read as Windows-1252.
        const qsizetype end = bytes.indexOf(ControlZ);
        text = DecodeText(end >= 0 ? bytes.left(end) : bytes);
    }

    QStringList lines;
    const qsizetype size = text.size();
    qsizetype pos = 0;
    while (pos < size) {
        const qsizetype lineFeed = text.indexOf(QLatin1Char('\n'), pos);
        const qsizetype lineEnd = lineFeed < 0 ? size : lineFeed;
        qsizetype textEnd = text.indexOf(QLatin1Char('\r'), pos);
        if (textEnd < 0 || textEnd > lineEnd) {
            textEnd = lineEnd;
        }
        lines.append(text.mid(pos, textEnd - pos));
        pos = lineEnd + 1;
    }
    return lines;
}

QString FileErrorText(const QString &path, int errorNumber)
{
    static const QString notFound = QStringLiteral("File not found");
    static const QString invalidName = QStringLiteral("Invalid filename");
    static const QString accessDenied = QStringLiteral("File access denied");

    if (path.isEmpty()) {
        return invalidName;
    }
    switch (errorNumber) {
    case ENOENT:
        return ParentFolderExists(path) ? notFound : invalidName;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return invalidName;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return accessDenied;
    case 0:
        break;
    default:
        return IoErrorText(errorNumber);
    }
    // Qt refused without a system error (for example a folder given as a file):
    // tell what the file system shows.
    const QFileInfo info(path);
    if (info.isDir()) {
        return accessDenied;
    }
    if (!info.exists()) {
        return ParentFolderExists(path) ? notFound : invalidName;
    }
    return accessDenied;
}

QStringList ReadTextFile(const QString &path)
{
    if (path.isEmpty()) {
        throw TError(FileErrorText(path, 0));
    }
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        throw TError(FileErrorText(path, errno));
    }
    errno = 0;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw TError(IoErrorText(errno != 0 ? errno : EIO));
    }
    return SplitTextLines(bytes);
}

QString StorableLine(const QString &line)
{
    const auto isBreak = [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char(ControlZ);
    };
    if (std::none_of(line.cbegin(), line.cend(), isBreak)) {
        return line;
    }
    QString stored;
    stored.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\r') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('\n')) {
            continue; // CR LF is one break and becomes one blank at its LF
        }
        stored.append(isBreak(c) ? QLatin1Char(' ') : c);
    }
    return stored;
}

QByteArray EncodeTextLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes.append(StorableLine(line).toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

void SaveFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty()) {
        throw TError(FileErrorText(path, 0));
    }
    const QFileInfo info(path);
    // Renaming over a file ignores the file's own write protection; honour it.
    if (info.isDir() || (info.exists() && !info.isWritable())) {
        throw TWriteError(QStringLiteral("File access denied"),
                          qt_error_string(info.isDir() ? EISDIR : EACCES));
    }
    QSaveFile file(path);
    errno = 0;
    // Unbuffered, so a short write (a full disk) shows at once: a buffered
    // QSaveFile has been seen to commit a cut file when its final flush fell short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int errorNumber = errno;
        throw TWriteError(FileErrorText(path, errorNumber), CauseText(file, errorNumber));
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 step = file.write(bytes.constData() + done, bytes.size() - done);
        if (step <= 0) {
            const int errorNumber = errno != 0 ? errno : EIO;
            file.cancelWriting();
            throw TWriteError(IoErrorText(errorNumber), qt_error_string(errorNumber));
        }
        done += step;
    }
    errno = 0;
    if (!file.commit()) {
        const int errorNumber = errno;
        if (file.error() == QFileDevice::RenameError && errorNumber != 0) {
            throw TWriteError(FileErrorText(path, errorNumber), qt_error_string(errorNumber));
        }
        throw TWriteError(IoErrorText(errorNumber != 0 ? errorNumber : EIO),
                          CauseText(file, errorNumber));
    }
}

void WriteTextFile(const QString &path, const QStringList &lines)
{
    SaveFileAtomically(path, EncodeTextLines(lines));
}

QString TLineReader::ReadLine()
{
    if (Next >= Lines.size()) {
        return QString();
    }
    return Lines.at(Next++);
}

} // namespace tarvello
