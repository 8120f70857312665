#include "pdfviewer/ReaderVersion.h"

#include <QStringList>

namespace tarvello {

namespace {

QString NameOf(const QString &entry)
{
    const qsizetype eq = entry.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : entry.left(eq);
}

// The value is looked up by name, as a list of name=value pairs answers it: the
// first entry holding "=" whose name matches wins, so a later duplicate of a name
// reads the earlier one's value.
QString ValueOf(const QStringList &entries, const QString &name)
{
    for (const QString &entry : entries) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq >= 0 && entry.left(eq).compare(name, Qt::CaseInsensitive) == 0) {
            return entry.mid(eq + 1);
        }
    }
    return {};
}

} // namespace

quint8 ParseReaderMajorVersion(const QString &versions, quint8 known)
{
    const QStringList entries = versions.split(QLatin1Char(','), Qt::KeepEmptyParts);
    for (const QString &entry : entries) {
        const QString value = ValueOf(entries, NameOf(entry));
        const qsizetype dot = value.indexOf(QLatin1Char('.'));
        bool ok = false;
        const qlonglong major = (dot < 0 ? value : value.left(dot)).toLongLong(&ok, 10);
        if (ok && major > known) {
            known = static_cast<quint8>(major & 0xFF);
        }
    }
    return known;
}

} // namespace tarvello
