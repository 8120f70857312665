#include "main/HelpKey.h"

#include "prompt/SettingsPath.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace tarvello {

THelpKey::THelpKey(QObject *parent)
    : QObject(parent), Opener([](const QUrl &page) { QDesktopServices::openUrl(page); })
{
}

void THelpKey::Install()
{
    if (QCoreApplication *application = QCoreApplication::instance()) {
        application->removeEventFilter(this);
        application->installEventFilter(this);
    }
}

void THelpKey::SetOpener(TOpener opener)
{
    Opener = std::move(opener);
}

QUrl THelpKey::HelpPage()
{
    return HelpPage(QDir::currentPath(), QCoreApplication::applicationDirPath());
}

QUrl THelpKey::HelpPage(const QString &currentFolder, const QString &programFolder)
{
    const QString here = QDir(currentFolder).absoluteFilePath(QLatin1String(HelpPageName));
    const QString installed =
        QDir::cleanPath(QDir(programFolder)
                            .filePath(QStringLiteral(TARVELLO_HELP_FROM_PROGRAM "/") +
                                      QLatin1String(HelpPageName)));
    return QUrl::fromLocalFile(!QFileInfo::exists(here) && QFileInfo::exists(installed) ? installed
                                                                                        : here);
}

bool THelpKey::eventFilter(QObject *watched, QEvent *event)
{
    // A key press reaches the window first and is then passed from the focus
    // control up through its parents; looking only at the window's copy makes
    // one request per press (auto-repeats included), wherever the focus is.
    if (event->type() == QEvent::KeyPress && watched->isWindowType()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F1 && Opener) {
            try {
                Opener(HelpPage());
            } catch (...) {
                // The page is a help; a failure to open it is not the show's.
            }
        }
    }
    return false;
}

} // namespace tarvello
