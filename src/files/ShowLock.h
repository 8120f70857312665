#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace tarvello {

// One running program per settings file. A second one would show the show as
// it was when it started and write that over the first one's edits at its
// next save; it is refused instead, before it opens a window or a device.
//
// The lock is "<settings file>.lock" beside the file. A program that was
// killed leaves it behind; the next start finds its process gone and takes it
// over, with nothing asked.
class TShowLock {
public:
    // Takes the lock for `settingsFile`. True when this program may go on:
    // the lock is ours, or it cannot be made at all (a folder that takes no
    // new file takes no saved show either, which the saver reports).
    bool Take(const QString &settingsFile);
    // Why the program may not go on, for the operator.
    QString Refusal() const { return RefusalText; }

private:
    std::unique_ptr<QLockFile> Lock;
    QString RefusalText;
};

} // namespace tarvello
