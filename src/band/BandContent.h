#pragma once

#include <QByteArray>
#include <QString>

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
// a PNG of a PDF page `width` pixels wide, a picture or an HTML page as its
// file holds it.
struct TBandContent {
    QByteArray Bytes;
    QByteArray Type; // the Content-Type
    bool Made = false;
};

// Makes what a follower fetches for the prompt; a file that cannot be read
// gives nothing made. Safe on any thread.
TBandContent MakeBandContent(const TBandPrompt &prompt, int width);

// The width a PDF page is drawn at for a follower that asks for `asked`
// pixels: within 320 and 2560, in steps of 160 so that followers of about the
// same size share one picture.
int BandPageWidth(int asked);

} // namespace tarvello
