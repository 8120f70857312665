#pragma once

#include <QFont>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextOption>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

class QTextDocument;

namespace tarvello {

// Size and time of change of a file, to tell a file read a moment ago from
// the same file changed since; empty for no file.
QString PromptFileStamp(const QString &path);

// How the rich-text view shows a document: a prepared one is made in its
// font and wrapping and laid out at its width.
struct TPromptLook {
    QFont Font;
    QTextOption::WrapMode Wrap = QTextOption::WrapAtWordBoundaryOrAnywhere;
    // The width the view lays text out at; 0 leaves the layout to the view.
    int Width = 0;
};

// A text or RTF file to have ready, and the first line it is shown with
// (none when empty).
struct TPreparedFile {
    QString Path;
    QString FirstLine;
};

// Gets the text and RTF files a performer goes to next ready while the show
// stands still: a thread of its own reads each file, makes it into a document
// as the view will show it (first line, font, wrapping) and lays it out, so
// that showing it later costs little more than painting it. The work starts
// once the window has painted what it was showing. Only the files last asked
// for are kept (a few documents at most); work for files no longer wanted is
// dropped before it starts.
class TPromptPreparer : public QObject {
    Q_OBJECT

public:
    static constexpr int Capacity = 4;

    explicit TPromptPreparer(QObject *parent = nullptr);
    // Waits for a file being read at that moment; nothing else is started.
    ~TPromptPreparer() override;

    // Text or RTF files (absolute paths) to have ready for a view that looks
    // like `look`, the most wanted first. Replaces what was asked for before.
    void Prepare(const std::vector<TPreparedFile> &files, const TPromptLook &look);
    // The document made from `file`, handed over, when it is ready, the file
    // has not changed on disk since it was read, and it was made with that
    // first line in that font and wrapping (a document laid out at another
    // width is laid out again by the view); nullptr otherwise. The document
    // belongs to this object's thread.
    std::unique_ptr<QTextDocument> Take(const TPreparedFile &file, const TPromptLook &look);
    // Whether anything asked for is still being made.
    bool Busy() const { return Waiting > 0; }

signals:
    // Everything asked for is ready (or could not be made).
    void Settled();

private:
    struct TEntry {
        TPreparedFile File;
        TPromptLook Look;
        QString Stamp;
        std::unique_ptr<QTextDocument> Document;
    };

    void Start(quint64 generation);
    void Arrived(quint64 generation, const TPreparedFile &file, const QString &stamp,
                 std::shared_ptr<std::unique_ptr<QTextDocument>> document);
    void Finished();
    TEntry *Find(const QString &path);
    bool Wants(const QString &path) const;

    QThreadPool Pool;
    std::atomic<quint64> Generation{0};
    std::vector<TPreparedFile> Wanted;
    TPromptLook WantedLook;
    // What is still to be read, once the window has painted.
    std::vector<TPreparedFile> ToStart;
    // Oldest first.
    std::vector<TEntry> Entries;
    int Waiting = 0;
};

} // namespace tarvello
