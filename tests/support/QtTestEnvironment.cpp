#include "support/QtTestEnvironment.h"

#include "widgets/CompatibleFaces.h"

#include <QApplication>
#include <QCoreApplication>
#include <QtGlobal>

#include <unistd.h>

namespace tarvello::test {

void PrepareTestEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QApplication &CreateTestApplication(int &argc, char **argv)
{
    PrepareTestEnvironment();
    auto *app = new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvello"));
    // The windows are measured with the faces the program itself uses.
    LoadCompatibleFaces();
    return *app;
}

} // namespace tarvello::test
