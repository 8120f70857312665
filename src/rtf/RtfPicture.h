#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSizeF>

namespace tarvello {

// Gathers one \pict group: its properties and its data, written as hex digits
// or as \bin bytes, and turns it into an image with the size it is shown at.
class TRtfPicture {
public:
    enum Format { Unknown, Png, Jpeg, Other };

    void setFormat(Format format) { Kind = format; }
    void setGoalWidth(int twips) { GoalWidth = twips; }
    void setGoalHeight(int twips) { GoalHeight = twips; }
    void setScaleX(int percent) { ScaleX = percent; }
    void setScaleY(int percent) { ScaleY = percent; }

    // Hex digits anywhere in the text; blanks and stray characters are ignored,
    // and an odd digit at the end of the data is dropped.
    void appendHex(QByteArrayView text);
    void appendBinary(QByteArrayView bytes);

    // The picture, or a null image when it is not a PNG or JPEG or its data is
    // damaged or cut short.
    QImage image() const;
    // The size to show it at, in pixels of the view.
    QSizeF displaySize(const QImage &image) const;

private:
    Format Kind = Unknown;
    int GoalWidth = 0;
    int GoalHeight = 0;
    int ScaleX = 100;
    int ScaleY = 100;
    QByteArray Data;
    int PendingNibble = -1;
};

} // namespace tarvello
