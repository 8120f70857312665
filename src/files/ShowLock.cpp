#include "files/ShowLock.h"

#include <QDir>
#include <QFileInfo>

namespace tarvello {

bool TShowLock::Take(const QString &settingsFile)
{
    QDir().mkpath(QFileInfo(settingsFile).absolutePath());
    Lock = std::make_unique<QLockFile>(settingsFile + QStringLiteral(".lock"));
    // Held for the whole evening: only a lock whose process is gone is stale,
    // however old it is.
    Lock->setStaleLockTime(0);
    if (Lock->tryLock(0) || Lock->error() != QLockFile::LockFailedError) {
        return true;
    }
    qint64 process = 0;
    QString host;
    QString program;
    Lock->getLockInfo(&process, &host, &program);
    RefusalText =
        QStringLiteral("Tarvello is already running with this show (process %1).\n\n"
                       "A second copy would write its older copy of the show over the "
                       "edits made in the first, so it does not start. Switch to the one "
                       "that is running, or close it first.\n\nSettings file: %2")
            .arg(process)
            .arg(QDir::toNativeSeparators(settingsFile));
    return false;
}

} // namespace tarvello
