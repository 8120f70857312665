#pragma once

// A second JACK client for the real-MIDI tests: it offers an output port that
// Tarvello can listen to and an input port that Tarvello can send to, and
// records what arrives.

#include <QByteArray>
#include <QString>

#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace tarvello {
class TJackMidiClient;
class TMidiEventQueue;
} // namespace tarvello

namespace tarvello::test {

class TJackPeer {
public:
    // One JACK client with both ports. These are the names under which
    // Tarvello lists them.
    static QString OutputPortName() { return QStringLiteral("TarvelloPeer:out"); }
    static QString InputPortName() { return QStringLiteral("TarvelloPeer:in"); }

    // Throws when no JACK server is reachable.
    TJackPeer();
    ~TJackPeer();

    // One event; waits while the port's queue is full. False when it cannot go.
    bool Send(const QByteArray &bytes);

    // Waits until at least count messages have arrived, at most for timeout.
    bool WaitForMessages(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(5));
    std::vector<QByteArray> Received() const;
    void ClearReceived();

private:
    void OnMessage(const std::uint8_t *data, std::size_t size);

    mutable std::mutex Mutex;
    std::condition_variable Arrived;
    std::vector<QByteArray> Messages;
    std::unique_ptr<TJackMidiClient> Client;
    std::unique_ptr<TMidiEventQueue> Queue;
    int InSlot = -1;
    int OutSlot = -1;
};

// Counts the cycles the server reports it could not finish in time (a busy
// machine starts a cycle late). JACK itself drops MIDI in such a cycle, so a
// test of lossless delivery has to know whether one happened.
class TJackXRunCounter {
public:
    // Throws when no JACK server is reachable.
    TJackXRunCounter();
    ~TJackXRunCounter();
    TJackXRunCounter(const TJackXRunCounter &) = delete;
    TJackXRunCounter &operator=(const TJackXRunCounter &) = delete;

    int Count() const { return XRuns.load(); }

private:
    static int OnXRun(void *self);

    jack_client_t *Client = nullptr;
    std::atomic<int> XRuns{0};
};

// Whether a JACK server of the environment's name accepts clients.
bool JackServerReachable();

} // namespace tarvello::test
