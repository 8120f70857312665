#include "rtf/RtfPicture.h"
#include "core/HexDigit.h"

#include "rtf/RtfFormat.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace tarvello {

namespace {

// No lyric sheet needs a picture larger than a few screens; this keeps a damaged
// size from asking the layout for a page of millions of pixels.
constexpr double MaxDisplayPixels = 8000.0;

} // namespace

void TRtfPicture::appendHex(QByteArrayView text)
{
    Data.reserve(Data.size() + text.size() / 2);
    for (const char c : text) {
        const int value = HexDigitValue(char32_t(static_cast<unsigned char>(c)));
        if (value < 0)
            continue;
        if (PendingNibble < 0) {
            PendingNibble = value;
        } else {
            Data.append(static_cast<char>(PendingNibble * 16 + value));
            PendingNibble = -1;
        }
    }
}

void TRtfPicture::appendBinary(QByteArrayView bytes)
{
    Data.append(bytes.data(), bytes.size());
}

QImage TRtfPicture::image() const
{
    if (Kind != Png && Kind != Jpeg)
        return QImage(); // metafiles and device bitmaps have no reader here
    QByteArray data = Data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, Kind == Png ? "png" : "jpeg");
    QImage result = reader.read();
    if (result.isNull()) {
        // Some writers mark a JPEG as PNG or the other way round: let Qt look.
        buffer.seek(0);
        QImageReader sniffing(&buffer);
        result = sniffing.read();
    }
    return result;
}

QSizeF TRtfPicture::displaySize(const QImage &image) const
{
    double width = GoalWidth > 0 ? TwipsToPixels(GoalWidth) : image.width();
    double height = GoalHeight > 0 ? TwipsToPixels(GoalHeight) : image.height();
    // Only one goal given: keep the picture's proportions.
    if (GoalWidth > 0 && GoalHeight <= 0 && image.width() > 0)
        height = width * image.height() / image.width();
    if (GoalHeight > 0 && GoalWidth <= 0 && image.height() > 0)
        width = height * image.width() / image.height();
    if (ScaleX > 0)
        width = width * ScaleX / 100.0;
    if (ScaleY > 0)
        height = height * ScaleY / 100.0;
    return QSizeF(std::clamp(width, 1.0, MaxDisplayPixels),
                  std::clamp(height, 1.0, MaxDisplayPixels));
}

} // namespace tarvello
