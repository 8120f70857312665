#pragma once

// A second JACK client for the real-MIDI tests: it offers an output port that
// Tarvello can listen to and an input port that Tarvello can send to, and
// records what arrives.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class RtMidiIn;
class RtMidiOut;

namespace tarvello::test {

class TJackPeer {
public:
    // Each RtMidi object is a JACK client of its own, so the two ports belong to
    // two clients. These are the names under which Tarvello lists them.
    static QString OutputPortName() { return QStringLiteral("TarvelloPeerOut:out"); }
    static QString InputPortName() { return QStringLiteral("TarvelloPeerIn:in"); }

    // Throws when no JACK server is reachable.
    TJackPeer();
    ~TJackPeer();

    void Send(const QByteArray &bytes);

    // Waits until at least count messages have arrived, at most for timeout.
    bool WaitForMessages(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(5));
    std::vector<QByteArray> Received() const;
    void ClearReceived();

private:
    static void OnMessage(double, std::vector<unsigned char> *message, void *user);

    mutable std::mutex Mutex;
    std::condition_variable Arrived;
    std::vector<QByteArray> Messages;
    std::unique_ptr<RtMidiIn> In;
    std::unique_ptr<RtMidiOut> Out;
};

// Whether a JACK server of the environment's name accepts clients.
bool JackServerReachable();

} // namespace tarvello::test
