#pragma once

#include <QString>

namespace tarvello::test {

// Counts the times a file is opened, by any thread or program, from the moment
// the counter is made: what the system reports (inotify), so that a reader the
// program does not count itself is seen too. A file written anew under the
// same name is another file: make the counter after writing it.
class TFileOpenCounter {
public:
    explicit TFileOpenCounter(const QString &path);
    ~TFileOpenCounter();
    TFileOpenCounter(const TFileOpenCounter &) = delete;
    TFileOpenCounter &operator=(const TFileOpenCounter &) = delete;

    // The opens so far.
    int Opens();

private:
    int Fd = -1;
    int Count = 0;
};

} // namespace tarvello::test
