#pragma once

#include "osc/OscCommand.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;

namespace tarvello {

class TOscReceiver;

// OSC in: a UDP socket on a thread of its own reads each datagram, checks
// where it came from and the key, reads the command (ParseOscMessage) and
// hands it to this object's thread, never waiting for it. A ping is
// answered on the socket's own thread. Whatever is dropped is counted.
//
// At most MaxPending commands wait for this object's thread at a time: a
// flood beyond what the stage can take is dropped on arrival instead of
// piling up in front of the stage.
class TOscServer : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxPending = 32;

    explicit TOscServer(QObject *parent = nullptr);
    ~TOscServer() override;

    // Listens on `address` (one of this machine's, 127.0.0.1 for this
    // machine alone) and `port`, after stopping what listened before. Any
    // address but loopback needs a key: commands from other hosts must carry
    // it. Throws TError when the address or port cannot be used. The same
    // address, port and key again leave the server as it runs.
    void Start(const QHostAddress &address, quint16 port, const QString &key);
    void Stop();
    bool Running() const { return Receiver != nullptr; }
    quint16 Port() const { return ListenPort; }
    // Messages dropped since this object was made.
    int Dropped() const { return DropCount->load(); }

signals:
    void CommandReceived(const tarvello::TOscCommand &command);
    // While messages are dropped, at most once a second: how many so far and
    // why the last one was.
    void DropsCounted(int total, const QString &why);

private:
    friend class TOscReceiver;
    void Deliver(const TOscCommand &command);

    QThread *Thread = nullptr;
    TOscReceiver *Receiver = nullptr;
    QHostAddress ListenAddress;
    quint16 ListenPort = 0;
    QString ListenKey;
    std::shared_ptr<std::atomic<int>> Pending = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> DropCount = std::make_shared<std::atomic<int>>(0);
};

} // namespace tarvello
