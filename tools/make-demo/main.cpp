// Writes the generated files of the demo show. Run it after changing the
// slot table or the pictures, then commit what it wrote.

#include "DemoPictures.h"
#include "DemoScore.h"
#include "DemoSettings.h"
#include "DemoSlots.h"

#include "core/TarvelloError.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    // Drawing text needs a platform; this tool needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() > 2) {
        std::fprintf(stderr, "usage: make-demo [output folder]\n");
        return 2;
    }
    const QDir folder(arguments.size() == 2 ? arguments[1] : QStringLiteral(TARVELLO_DEMO_DIR));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "make-demo: cannot make %s\n", qPrintable(folder.path()));
        return 1;
    }

    using namespace tarvello;
    try {
        WriteDemoScore(folder.filePath(DemoScoreFile));
        WriteStagePlan(folder.filePath(DemoStagePlanFile));
        WritePoster(folder.filePath(DemoPosterFile));
        WriteDemoSettings(folder.filePath(QStringLiteral("Tarvello.INI")));
        WriteDemoMidiStrings(folder.filePath(QStringLiteral("MidiStrings.txt")));
    } catch (const TError &error) {
        std::fprintf(stderr, "make-demo: %s\n", qPrintable(error.message()));
        return 1;
    }

    // The hand-written files of the show live beside the generated ones; say
    // which slot would find nothing.
    int missing = 0;
    for (const TDemoSlot &slot : DemoSlots()) {
        QString name = slot.File;
        const int suffix = name.toUpper().indexOf(QStringLiteral("/PAGE"));
        if (suffix >= 0) {
            name = name.left(suffix).trimmed();
        }
        if (!name.isEmpty() && !name.contains(QStringLiteral("//")) &&
            !QFileInfo::exists(folder.filePath(name))) {
            std::fprintf(stderr, "make-demo: %s is missing in %s\n", qPrintable(name),
                         qPrintable(folder.path()));
            ++missing;
        }
    }
    std::printf("make-demo: wrote the demo show into %s\n", qPrintable(folder.path()));
    return missing == 0 ? 0 : 1;
}
