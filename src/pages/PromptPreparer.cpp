#include "pages/PromptPreparer.h"

#include "core/AfterPaint.h"
#include "pages/RichTextFile.h"

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QMetaObject>
#include <QTextDocument>
#include <QThread>
#include <QTimerEvent>

#include <algorithm>

namespace tarvello {
namespace {

bool SameLook(const TPromptLook &one, const TPromptLook &other)
{
    return one.Font == other.Font && one.Wrap == other.Wrap;
}

// The document as the view shows it: the first line above the text, the
// view's font and wrapping. Laid out at the view's width here, the view's own
// layout of it later costs far less.
void DressForView(QTextDocument &document, const TPreparedFile &file, const TPromptLook &look)
{
    document.setDefaultFont(look.Font);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(look.Wrap);
    document.setDefaultTextOption(option);
    if (!file.FirstLine.isEmpty()) {
        InsertFirstLine(document, file.FirstLine);
    }
    if (look.Width > 0) {
        document.setPageSize(QSizeF(look.Width, -1));
        QAbstractTextDocumentLayout *layout = document.documentLayout();
        layout->documentSize();
        // A finished layout leaves a timer behind to announce its size: it
        // fires here, where it was started, rather than moving with the
        // document to a thread that may delete the document first.
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
            for (const auto &timer : dispatcher->registeredTimers(layout)) {
                QTimerEvent event(timer.timerId);
                QCoreApplication::sendEvent(layout, &event);
            }
        }
    }
}

} // namespace

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
    const auto found = std::find_if(Entries.begin(), Entries.end(), [&path](const TEntry &entry) {
        return entry.File.Path == path;
    });
    return found == Entries.end() ? nullptr : &*found;
}

bool TPromptPreparer::Wants(const QString &path) const
{
    return std::any_of(Wanted.begin(), Wanted.end(),
                       [&path](const TPreparedFile &file) { return file.Path == path; });
}

void TPromptPreparer::Prepare(const std::vector<TPreparedFile> &files, const TPromptLook &look)
{
    const quint64 generation = ++Generation;
    // Not started yet and no longer wanted: dropped.
    Pool.clear();
    ToStart.clear();
    Wanted = files;
    WantedLook = look;
    // Room for what is wanted now: documents asked for earlier go first.
    while (int(Entries.size()) > Capacity - int(files.size()) && !Entries.empty()) {
        const auto unwanted = std::find_if(Entries.begin(), Entries.end(),
                                           [this](const TEntry &e) { return !Wants(e.File.Path); });
        if (unwanted == Entries.end()) {
            break;
        }
        Entries.erase(unwanted);
    }
    for (const TPreparedFile &file : files) {
        const TEntry *entry = Find(file.Path);
        if (entry != nullptr && entry->Stamp == PromptFileStamp(file.Path) &&
            entry->File.FirstLine == file.FirstLine && SameLook(entry->Look, look) &&
            entry->Look.Width == look.Width) {
            continue;
        }
        ToStart.push_back(file);
    }
    Waiting = int(ToStart.size());
    if (Waiting == 0) {
        emit Settled();
        return;
    }
    // The window's update waits in the queue at low priority: this goes
    // behind it, so that the reading does not hold up the picture.
    RunAfterPaint(this, [this, generation] { Start(generation); });
}

void TPromptPreparer::Start(quint64 generation)
{
    if (generation != Generation.load()) {
        return;
    }
    QThread *home = thread();
    const TPromptLook look = WantedLook;
    for (const TPreparedFile &file : std::as_const(ToStart)) {
        Pool.start([this, generation, file, look, home] {
            auto document = std::make_shared<std::unique_ptr<QTextDocument>>();
            QString stamp;
            // The show has moved on since this was asked for.
            if (Generation.load() == generation) {
                stamp = PromptFileStamp(file.Path);
                try {
                    const TPromptFileBytes bytes = ReadPromptFile(file.Path);
                    if (PromptFileKindOf(bytes.Bytes) != TPromptFileKind::Picture) {
                        *document = std::make_unique<QTextDocument>();
                        (*document)->setUndoRedoEnabled(false);
                        BuildPromptDocument(**document, bytes);
                        DressForView(**document, file, look);
                        // Its layout and timers go with it.
                        (*document)->moveToThread(home);
                    }
                } catch (...) {
                    // Shown the usual way when it is asked for, with its error.
                    document->reset();
                }
            }
            // Handed over whole: a document this thread still held a share
            // of could be freed here, away from the thread that owns it.
            QMetaObject::invokeMethod(
                this,
                [this, generation, file, stamp, document = std::move(document)] {
                    Arrived(generation, file, stamp, document);
                },
                Qt::QueuedConnection);
        });
    }
    ToStart.clear();
}

void TPromptPreparer::Arrived(quint64 generation, const TPreparedFile &file, const QString &stamp,
                              std::shared_ptr<std::unique_ptr<QTextDocument>> document)
{
    if (generation != Generation.load()) {
        return;
    }
    if (*document && Wants(file.Path)) {
        if (TEntry *entry = Find(file.Path)) {
            Entries.erase(Entries.begin() + (entry - Entries.data()));
        }
        Entries.push_back({file, WantedLook, stamp, std::move(*document)});
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

std::unique_ptr<QTextDocument> TPromptPreparer::Take(const TPreparedFile &file,
                                                     const TPromptLook &look)
{
    TEntry *entry = Find(file.Path);
    if (entry == nullptr) {
        return nullptr;
    }
    // Changed on disk since it was read, or made for another slot or before
    // the font changed: read again when shown.
    if (entry->Stamp.isEmpty() || entry->Stamp != PromptFileStamp(file.Path) ||
        entry->File.FirstLine != file.FirstLine || !SameLook(entry->Look, look)) {
        Entries.erase(Entries.begin() + (entry - Entries.data()));
        return nullptr;
    }
    // Handed over: the next neighbours are made anew anyway.
    std::unique_ptr<QTextDocument> document = std::move(entry->Document);
    Entries.erase(Entries.begin() + (entry - Entries.data()));
    return document;
}

} // namespace tarvello
