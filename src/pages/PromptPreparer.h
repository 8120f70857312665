#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

class QTextDocument;

namespace tarvello {

// Size and time of change of a file, to tell a file read a moment ago from
// the same file changed since; empty for no file.
QString PromptFileStamp(const QString &path);

// Gets the text and RTF files a performer goes to next ready while the show
// stands still: a thread of its own reads each file and makes it into a
// document, so that showing it later costs a copy, not a read and a parse.
// Only the files last asked for are kept (a few documents at most); work for
// files no longer wanted is dropped before it starts.
class TPromptPreparer : public QObject {
    Q_OBJECT

public:
    static constexpr int Capacity = 4;

    explicit TPromptPreparer(QObject *parent = nullptr);
    // Waits for a file being read at that moment; nothing else is started.
    ~TPromptPreparer() override;

    // Absolute paths of text or RTF files to have ready, the most wanted
    // first. Replaces what was asked for before.
    void Prepare(const QStringList &paths);
    // A copy of the document made from `path`, when it is ready and the file
    // has not changed on disk since it was read; nullptr otherwise.
    std::unique_ptr<QTextDocument> Take(const QString &path);
    // Whether anything asked for is still being made.
    bool Busy() const { return Waiting > 0; }

signals:
    // Everything asked for is ready (or could not be made).
    void Settled();

private:
    struct TEntry {
        QString Path;
        QString Stamp;
        std::shared_ptr<QTextDocument> Document;
    };

    void Arrived(quint64 generation, const QString &path, const QString &stamp,
                 std::shared_ptr<QTextDocument> document);
    void Finished();
    TEntry *Find(const QString &path);

    QThreadPool Pool;
    std::atomic<quint64> Generation{0};
    QStringList Wanted;
    // Oldest first.
    std::vector<TEntry> Entries;
    int Waiting = 0;
};

} // namespace tarvello
