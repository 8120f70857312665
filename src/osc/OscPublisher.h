#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QUdpSocket;

namespace tarvello {

inline constexpr int MaxOscTargets = 4;

// Where OSC out goes: a host (an IP address, or "localhost") and a port.
struct TOscTarget {
    QHostAddress Host;
    quint16 Port = 0;
    bool operator==(const TOscTarget &) const = default;
};

// "host:port" items separated by commas (blanks aside), at most four; an IPv6
// host is written in brackets ("[::1]:9000"). Throws TError naming the first
// item that is none. Host names are not looked up: a lookup could make the
// stage wait.
QList<TOscTarget> ParseOscTargets(const QString &text);
QString OscTargetsText(const QList<TOscTarget> &targets);

// One OSC message as it goes on the wire.
QByteArray OscCurrentMessage(int show, int slot, const QString &name, int pdfPage);
QByteArray OscPongMessage();

// OSC out: tells the targets what the stage shows. Each send is one
// non-blocking UDP datagram; a target that is not there costs nothing.
class TOscPublisher : public QObject {
    Q_OBJECT

public:
    explicit TOscPublisher(QObject *parent = nullptr);

    void SetTargets(const QList<TOscTarget> &targets) { Targets = targets.mid(0, MaxOscTargets); }
    // /tarvello/current: the show's number, the slot, the slot's name and the
    // PDF page shown (0 when none).
    void PublishCurrent(int show, int slot, const QString &name, int pdfPage);

private:
    QUdpSocket *Socket;
    QList<TOscTarget> Targets;
};

} // namespace tarvello
