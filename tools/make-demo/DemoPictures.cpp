#include "DemoPictures.h"

#include "core/TarvelloError.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tarvello {

namespace {

const QString Sans = QStringLiteral("DejaVu Sans");

void Save(const QImage &image, const QString &path, const char *format, int quality)
{
    if (!image.save(path, format, quality)) {
        throw TError(QStringLiteral("Unable to write to %1").arg(path));
    }
}

void Station(QPainter &painter, const QRect &box, const QColor &fill, const QString &name,
             const QString &note)
{
    painter.setPen(QPen(QColor(30, 30, 30), 2));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 8, 8);
    painter.setPen(QColor(20, 20, 20));
    painter.setFont(QFont(Sans, 12, QFont::Bold));
    painter.drawText(box.adjusted(4, 6, -4, -box.height() / 2), Qt::AlignCenter, name);
    painter.setFont(QFont(Sans, 9));
    painter.drawText(box.adjusted(4, box.height() / 2, -4, -6), Qt::AlignCenter, note);
}

void Wedge(QPainter &painter, QPoint at)
{
    QPolygon wedge;
    wedge << at + QPoint(-22, 0) << at + QPoint(22, 0) << at + QPoint(14, 14)
          << at + QPoint(-14, 14);
    painter.setPen(QPen(QColor(30, 30, 30), 1));
    painter.setBrush(QColor(60, 60, 60));
    painter.drawPolygon(wedge);
}

} // namespace

void WriteStagePlan(const QString &path)
{
    QImage image(640, 360, QImage::Format_RGB32);
    image.fill(QColor(250, 248, 240));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRect stage(20, 40, 600, 280);
    painter.setPen(QPen(QColor(120, 90, 60), 3));
    painter.setBrush(QColor(222, 200, 160));
    painter.drawRect(stage);
    painter.setPen(QColor(60, 40, 20));
    painter.setFont(QFont(Sans, 14, QFont::Bold));
    painter.drawText(QRect(0, 6, 640, 30), Qt::AlignCenter, QStringLiteral("Stage plan"));
    painter.setFont(QFont(Sans, 10));
    painter.drawText(QRect(0, 326, 640, 30), Qt::AlignCenter,
                     QStringLiteral("front of stage - audience this side"));

    Station(painter, QRect(250, 60, 140, 80), QColor(240, 170, 120), QStringLiteral("Drums"),
            QStringLiteral("counts in the songs"));
    Station(painter, QRect(60, 90, 140, 80), QColor(170, 200, 240), QStringLiteral("Bass"),
            QStringLiteral("DI to desk"));
    Station(painter, QRect(440, 90, 150, 80), QColor(190, 230, 170), QStringLiteral("Keys 1"),
            QStringLiteral("runs the prompter"));
    Station(painter, QRect(440, 190, 150, 80), QColor(190, 230, 170), QStringLiteral("Keys 2"),
            QStringLiteral("MIDI channel 2"));
    Station(painter, QRect(60, 200, 140, 80), QColor(230, 190, 230), QStringLiteral("Guitar"),
            QStringLiteral("amp on the left"));
    Station(painter, QRect(250, 200, 140, 70), QColor(250, 240, 150), QStringLiteral("Vocals"),
            QStringLiteral("centre mic"));

    for (const QPoint at : {QPoint(130, 292), QPoint(320, 292), QPoint(515, 292)}) {
        Wedge(painter, at);
    }

    // The MIDI cable from the prompter's keyboard to the second one.
    painter.setPen(QPen(QColor(40, 80, 160), 3, Qt::DashLine));
    painter.drawLine(515, 170, 515, 190);
    painter.end();
    Save(image, path, "PNG", -1);
}

void WritePoster(const QString &path)
{
    QImage image(640, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0, QColor(10, 20, 60));
    sky.setColorAt(0.6, QColor(20, 110, 130));
    sky.setColorAt(1, QColor(200, 220, 210));
    painter.fillRect(image.rect(), sky);

    // Waves of static rolling in from the sea.
    for (int band = 0; band < 6; ++band) {
        QPainterPath wave;
        const double base = 250 + band * 24;
        wave.moveTo(0, base);
        for (int x = 0; x <= 640; x += 8) {
            wave.lineTo(x, base + 10 * std::sin(x / (40.0 + band * 6) + band));
        }
        painter.setPen(QPen(QColor(255, 255, 255, 90 + band * 25), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(wave);
    }

    painter.setPen(Qt::white);
    painter.setFont(QFont(Sans, 44, QFont::Black));
    painter.drawText(QRect(0, 40, 640, 80), Qt::AlignCenter, QStringLiteral("SALT AND STATIC"));
    painter.setFont(QFont(Sans, 16));
    painter.drawText(QRect(0, 120, 640, 40), Qt::AlignCenter,
                     QStringLiteral("E minor - 140 bpm - everybody in"));

    const QRect cue(80, 170, 480, 60);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 140));
    painter.drawRoundedRect(cue, 10, 10);
    painter.setPen(QColor(255, 220, 90));
    painter.setFont(QFont(Sans, 15, QFont::Bold));
    painter.drawText(cue, Qt::AlignCenter,
                     QStringLiteral("Ending: four bars of E,\nhold until the drummer's cue"));
    painter.end();
    Save(image, path, "JPG", 82);
}

} // namespace tarvello
