#include "pages/PromptPreparer.h"

#include "pages/RichTextFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMetaObject>
#include <QTextDocument>
#include <QThread>

#include <algorithm>

namespace tarvello {

QString PromptFileStamp(const QString &path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile()) {
        return QString();
    }
    return QStringLiteral("%1 %2 %3")
        .arg(file.size())
        .arg(file.lastModified().toMSecsSinceEpoch())
        .arg(file.metadataChangeTime().toMSecsSinceEpoch());
}

TPromptPreparer::TPromptPreparer(QObject *parent) : QObject(parent)
{
    // One file at a time: the window's thread and a PDF being rendered ahead
    // share the machine's two cores with it.
    Pool.setMaxThreadCount(1);
}

TPromptPreparer::~TPromptPreparer()
{
    ++Generation;
    Pool.clear();
    Pool.waitForDone();
}

TPromptPreparer::TEntry *TPromptPreparer::Find(const QString &path)
{
    const auto found = std::find_if(Entries.begin(), Entries.end(),
                                    [&path](const TEntry &entry) { return entry.Path == path; });
    return found == Entries.end() ? nullptr : &*found;
}

void TPromptPreparer::Prepare(const QStringList &paths)
{
    const quint64 generation = ++Generation;
    // Not started yet and no longer wanted: dropped.
    Pool.clear();
    Waiting = 0;
    Wanted = paths;
    // Room for what is wanted now: documents asked for earlier go first.
    while (int(Entries.size()) > Capacity - int(paths.size()) && !Entries.empty()) {
        const auto unwanted = std::find_if(Entries.begin(), Entries.end(), [&paths](const TEntry &e) {
            return !paths.contains(e.Path);
        });
        if (unwanted == Entries.end()) {
            break;
        }
        Entries.erase(unwanted);
    }
    QThread *home = thread();
    for (const QString &path : paths) {
        const TEntry *entry = Find(path);
        if (entry != nullptr && entry->Stamp == PromptFileStamp(path)) {
            continue;
        }
        ++Waiting;
        Pool.start([this, generation, path, home] {
            std::shared_ptr<QTextDocument> document;
            QString stamp;
            // The show has moved on since this was asked for.
            if (Generation.load() == generation) {
                stamp = PromptFileStamp(path);
                try {
                    const TPromptFileBytes file = ReadPromptFile(path);
                    if (PromptFileKindOf(file.Bytes) != TPromptFileKind::Picture) {
                        document = std::make_shared<QTextDocument>();
                        BuildPromptDocument(*document, file);
                        document->moveToThread(home);
                    }
                } catch (...) {
                    // Shown the usual way when it is asked for, with its error.
                    document.reset();
                }
            }
            QMetaObject::invokeMethod(
                this,
                [this, generation, path, stamp, document] {
                    Arrived(generation, path, stamp, document);
                },
                Qt::QueuedConnection);
        });
    }
    if (Waiting == 0) {
        emit Settled();
    }
}

void TPromptPreparer::Arrived(quint64 generation, const QString &path, const QString &stamp,
                              std::shared_ptr<QTextDocument> document)
{
    if (generation != Generation.load()) {
        return;
    }
    if (document && Wanted.contains(path)) {
        if (TEntry *entry = Find(path)) {
            Entries.erase(Entries.begin() + (entry - Entries.data()));
        }
        Entries.push_back({path, stamp, std::move(document)});
        while (int(Entries.size()) > Capacity) {
            Entries.erase(Entries.begin());
        }
    }
    Finished();
}

void TPromptPreparer::Finished()
{
    if (Waiting > 0 && --Waiting == 0) {
        emit Settled();
    }
}

std::unique_ptr<QTextDocument> TPromptPreparer::Take(const QString &path)
{
    TEntry *entry = Find(path);
    if (entry == nullptr) {
        return nullptr;
    }
    if (entry->Stamp.isEmpty() || entry->Stamp != PromptFileStamp(path)) {
        // Changed on disk since it was read: read again when shown.
        Entries.erase(Entries.begin() + (entry - Entries.data()));
        return nullptr;
    }
    return std::unique_ptr<QTextDocument>(entry->Document->clone());
}

} // namespace tarvello
