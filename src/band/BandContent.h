#pragma once

#include <QByteArray>
#include <QString>

class QImage;

namespace tarvello {

// One prompt whose content a follower may fetch: the kind the state names,
// the file, and the page of a PDF document.
struct TBandPrompt {
    QString Kind;
    QString File;
    int Page = 1;
    bool operator==(const TBandPrompt &) const = default;
};

// The prompt as a follower shows it: HTML for text and RTF (links removed),
// a PNG of a PDF page, a picture or an HTML page as its file holds it.
struct TBandContent {
    QByteArray Bytes;
    QByteArray Type; // the Content-Type
    bool Made = false;
};

// Files beyond this are no prompt a phone could show, and are not served.
inline constexpr qint64 LargestServedFile = 16 * 1024 * 1024;

// Makes what a follower fetches for a prompt that is a file of its own (not a
// PDF page); a file that cannot be read, or is too large, gives nothing made.
// Safe on any thread.
TBandContent MakeBandContent(const TBandPrompt &prompt);

// Followers get PDF pages as the stage rendered them, made smaller to at most
// this width: nothing is rendered for them.
inline constexpr int BandPictureMaxWidth = 1280;
// The PNG of a page the stage rendered. Safe on any thread.
TBandContent BandPagePicture(const QImage &page);

} // namespace tarvello
