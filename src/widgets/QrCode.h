#pragma once

#include <QImage>
#include <QString>

namespace tarvello {

// A QR code of `text` (libqrencode), black on white with its quiet zone of
// four modules, `scale` pixels a module; a null image when the text does not
// fit in one.
QImage QrCodeImage(const QString &text, int scale);

} // namespace tarvello
