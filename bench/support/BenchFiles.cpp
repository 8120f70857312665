#include "BenchFiles.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

namespace tarvello {

QString WriteBenchFile(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void WriteSongbook(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            writer.newPage();
        }
        QFont font = painter.font();
        font.setPointSize(22);
        painter.setFont(font);
        painter.drawText(QRect(40, 20, 515, 40), Qt::AlignCenter,
                         QStringLiteral("Song %1").arg(page));
        font.setPointSize(11);
        painter.setFont(font);
        for (int staff = 0; staff < 10; ++staff) {
            const int top = 80 + staff * 75;
            for (int line = 0; line < 5; ++line) {
                painter.drawLine(40, top + line * 6, 555, top + line * 6);
            }
            for (int note = 0; note < 24; ++note) {
                const int x = 60 + note * 20;
                const int y = top + ((note * 7 + page + staff) % 9) * 3;
                painter.setBrush(Qt::black);
                painter.drawEllipse(QPointF(x, y), 3.5, 2.5);
                painter.drawLine(x + 3, y, x + 3, y - 18);
            }
            painter.drawText(QRect(40, top + 34, 515, 20), Qt::AlignLeft,
                             QStringLiteral("la la la, the night is young and so are we, verse %1")
                                 .arg(staff + 1));
        }
    }
}

QByteArray MidiStringsOfNoSlot()
{
    QByteArray text;
    for (int slot = 0; slot < 123; ++slot) {
        text += "Edit " + QByteArray::number(slot) + "\r\n";
    }
    return text;
}

} // namespace tarvello
