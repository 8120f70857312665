#include "support/QtTestEnvironment.h"

#include <QApplication>
#include <QCoreApplication>
#include <QtGlobal>

#include <unistd.h>

namespace tarvello::test {

QApplication &CreateTestApplication(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    static QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvello"));
    return app;
}

}  // namespace tarvello::test
