#include "files/KeptVersions.h"

#include "files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>
#include <utility>

namespace tarvello {
namespace {

constexpr auto DateFormat = "yyyy-MM-dd";

std::optional<QByteArray> ReadWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

// The name of a daily copy without its date: "<name>-" and ".<extension>".
std::pair<QString, QString> DailyNameParts(const QString &path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    return {info.completeBaseName() + QLatin1Char('-'),
            suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix};
}

bool SaveQuietly(const QString &path, const QByteArray &bytes)
{
    try {
        SaveFileAtomically(path, bytes);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

QString PreviousVersionPath(const QString &path)
{
    return path + QStringLiteral(".bak");
}

QString DailyCopyPath(const QString &path, const QString &folder, const QDate &day)
{
    const auto [front, back] = DailyNameParts(path);
    return QDir(folder).filePath(front + day.toString(QLatin1String(DateFormat)) + back);
}

bool KeepVersionsBefore(const QString &path, const QByteArray &bytes, const QString &dailyFolder,
                        const QDate &day)
{
    const std::optional<QByteArray> before = ReadWhole(path);
    if (!before) {
        return true; // nothing there yet to keep
    }
    if (*before == bytes) {
        return false;
    }
    SaveQuietly(PreviousVersionPath(path), *before);
    KeepDailyCopy(path, dailyFolder, day);
    return true;
}

bool KeepDailyCopy(const QString &path, const QString &folder, const QDate &day)
{
    const QString copy = DailyCopyPath(path, folder, day);
    if (QFileInfo::exists(copy)) {
        return false;
    }
    const std::optional<QByteArray> current = ReadWhole(path);
    if (!current || !QDir().mkpath(folder) || !SaveQuietly(copy, *current)) {
        return false;
    }
    // The dates sort as they are written, so the oldest copies come first.
    const auto [front, back] = DailyNameParts(path);
    const QRegularExpression dated(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(front) + QStringLiteral("\\d{4}-\\d{2}-\\d{2}") +
        QRegularExpression::escape(back)));
    QStringList copies;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        if (dated.match(name).hasMatch()) {
            copies.append(name);
        }
    }
    for (qsizetype i = 0; i + DailyCopiesKept < copies.size(); ++i) {
        QFile::remove(QDir(folder).filePath(copies.at(i)));
    }
    return true;
}

} // namespace tarvello
