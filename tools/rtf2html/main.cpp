// Prints the HTML of the document the RTF reader makes from a file, so the reader
// can be compared with other readers' output.

#include "rtf/RtfReader.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    // Fonts need a GUI application; no window is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: rtf2html FILE.rtf\n");
        return 2;
    }
    QFile file(arguments[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "rtf2html: cannot read %s: %s\n", qPrintable(arguments[1]),
                     qPrintable(file.errorString()));
        return 1;
    }
    QTextDocument document;
    tarvello::ReadRtf(file.readAll(), document);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    out << document.toHtml() << Qt::endl;
    return 0;
}
