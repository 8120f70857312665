#include "widgets/CompatibleFaces.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace tarvello {

void LoadCompatibleFaces()
{
    static const QStringList folders{QStringLiteral("/usr/share/wine/fonts"),
                                     QStringLiteral("/usr/share/fonts/truetype/wine")};
    const bool desktopHasTahoma = QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
    bool loaded = desktopHasTahoma;
    if (!desktopHasTahoma) {
        for (const QString &folder : folders) {
            for (const char *file : {"tahoma.ttf", "tahomabd.ttf"}) {
                const QString path = folder + QLatin1Char('/') + QLatin1String(file);
                if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0) {
                    loaded = true;
                }
            }
            if (loaded) {
                break;
            }
        }
    }
    // The package's "MS Sans Serif" is a bitmap face with 13, 16 and 20 pixel
    // sizes only: the 11 pixel captions would come out wider and the large
    // prompt coarse. Tahoma has the same widths at every size.
    if (loaded && !QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"));
    }
}

} // namespace tarvello
