#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tarvello {

// What a follower paints: the prompt the stage screen shows, as published
// after each selection, page turn and scroll.
struct TBandState {
    int Slot = 0;
    QString Caption;
    QString DisplayType = QStringLiteral("text"); // "text" or "file"
    // "line", "text", "rtf", "pdf", "picture", "html", "web" or "none"
    QString Kind = QStringLiteral("none");
    QString Name; // the slot's text line or file reference
    QString Next; // the next slot's
    int Page = 0;
    int PageCount = 0;
    double Scroll = 0; // 0 to 1
    // The text of a line (as the Display page shows it, number included), or
    // the line that stands in for a missing file.
    QString Text;
    // The file whose content followers get ("text", "rtf", "pdf", "picture",
    // "html"); never sent to them.
    QString File;
    // The show open, for a repertoire of several.
    int ShowNumber = 0;
    QString ShowName;
};

// A web address a follower may open or link to: only http and https, so that
// a slot holding "javascript:..." or "file:..." never becomes a link target.
bool SafeWebAddress(const QString &address);

// The JSON a follower receives. `seq` increases with every state; `content`
// is the path of the prompt's content (empty when it has none).
QByteArray BandStateJson(const TBandState &state, qint64 seq, const QString &content);

// The slot list for the remote: [{"slot":0,"name":"..."}...].
QByteArray BandSlotsJson(const QStringList &names);

// The show list for the remote: [{"show":2,"name":"..."}...].
struct TBandShow {
    int Number = 0;
    QString Name;
};
QByteArray BandShowsJson(const QList<TBandShow> &shows);

} // namespace tarvello
