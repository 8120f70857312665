#include "widgets/QrCode.h"

#include <qrencode.h>

#include <QPainter>

#include <memory>

namespace tarvello {

QImage QrCodeImage(const QString &text, int scale)
{
    const QByteArray utf8 = text.toUtf8();
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code || scale < 1) {
        return {};
    }
    constexpr int quiet = 4;
    const int modules = code->width;
    QImage image((modules + 2 * quiet) * scale, (modules + 2 * quiet) * scale,
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            if (code->data[y * modules + x] & 1) {
                painter.fillRect((x + quiet) * scale, (y + quiet) * scale, scale, scale, Qt::black);
            }
        }
    }
    return image;
}

} // namespace tarvello
