#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

namespace tarvello {

// The versions of a show file kept before it is replaced, so that an edit
// gone wrong can be undone by hand: the file as it stood before the last
// write, "<file>.bak" beside it, and once a day a dated copy in a folder of
// daily copies ("<name>-YYYY-MM-DD.<extension>"), the newest `DailyCopiesKept` of each
// file kept there.
//
// Both steps take the file as it stands on disk before the write, and only
// when the write changes it: a save that stores what the file already holds
// keeps the .bak of the version before. Neither step ever stops the save: a
// copy that cannot be made is left out (the show itself matters more).
constexpr int DailyCopiesKept = 7;

QString PreviousVersionPath(const QString &path);
QString DailyCopyPath(const QString &path, const QString &folder, const QDate &day);

// To run just before `path` is replaced by `bytes`: when that changes the
// file, it goes to its .bak and, on the day's first such write, into
// `dailyFolder` as the copy of `day`. Returns whether the write changes the file.
bool KeepVersionsBefore(const QString &path, const QByteArray &bytes, const QString &dailyFolder,
                        const QDate &day);
// The file as it stands goes into `folder` as the copy of `day`, unless that
// day has its copy already; older copies beyond the newest `DailyCopiesKept`
// are removed.
// Returns whether a copy was made.
bool KeepDailyCopy(const QString &path, const QString &folder, const QDate &day);

} // namespace tarvello
