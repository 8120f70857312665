#pragma once

// One JACK client that carries all of its owner's MIDI ports.
//
// libjack keeps a client's list of ports without a lock: its notification
// thread walks that list whenever the graph changes (latency updates), while
// unregistering a port removes the port from the list on the caller's thread.
// A port unregistered while another client comes or goes therefore crashes the
// process now and then. So a port of this client is never unregistered: a
// closed port is disconnected and kept for the next open, and every port goes
// when the client closes. One client per process also keeps the graph changes
// of opening and closing devices to a minimum.
//
// Input is copied on JACK's real-time thread into the TMidiEventQueue the
// caller gives (never blocking); output goes through a lock-free ring per port
// that the real-time thread empties into the port at each cycle.

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvello {

class TMidiEventQueue;

class TJackMidiClient {
public:
    // Ports of each direction one client can carry.
    static constexpr int MaxPorts = 32;
    // Bytes waiting to go out on one output port (events and their lengths).
    static constexpr std::size_t OutputRingSize = 64 * 1024;

    enum class TOpenResult {
        Opened,
        NoSuchPort,    // the port to connect to is not in the graph
        ConnectFailed, // JACK refused the connection
        NoPort,        // no port of ours is free, or JACK would not make one
        ServerGone,    // the server has shut down
    };

    // Opens and activates a client called name (JACK may add "-01" and so on
    // when the name is taken). Never starts a server; nullptr when none runs.
    static std::unique_ptr<TJackMidiClient> Open(const std::string &name);
    // Deactivates and closes the client; its ports go with it.
    ~TJackMidiClient();
    TJackMidiClient(const TJackMidiClient &) = delete;
    TJackMidiClient &operator=(const TJackMidiClient &) = delete;

    // The name JACK gave the client.
    std::string Name() const;
    // False once the server has shut down under us.
    bool Alive() const noexcept { return Running.load(); }

    // Full names ("client:port") of other clients' MIDI ports that send
    // (sources = true) or receive (sources = false), in JACK's order.
    std::vector<std::string> ListPorts(bool sources) const;

    // Takes a free input port of ours (named portName when it has to be made)
    // and connects source to it; an empty source connects nothing (a port that
    // others connect to). From now on every event arriving there is pushed into
    // queue on the real-time thread. slot receives the port's number.
    TOpenResult OpenInput(const std::string &source, TMidiEventQueue *queue, int &slot,
                          const std::string &portName = "in");
    // Stops feeding the queue (nothing is pushed after this returns) and
    // disconnects the port, which is kept for the next OpenInput.
    void CloseInput(int slot);

    // Takes a free output port of ours and connects it to destination (none
    // when empty).
    TOpenResult OpenOutput(const std::string &destination, int &slot,
                           const std::string &portName = "out");
    // Queues one MIDI event for the next cycle; the bytes are copied. False when
    // it cannot be queued (ring full, port not open, server gone). Callers may
    // send on one port from several threads.
    bool Send(int slot, const std::uint8_t *data, std::size_t size);
    // Lets what is queued go out (waiting at most a second), then disconnects
    // the port, which is kept for the next OpenOutput.
    void CloseOutput(int slot);

    // The full name of one of our ports, as others connect to it.
    std::string PortName(bool input, int slot) const;

    // Whether an open port of ours is connected to the named port: false once
    // that port has gone, even if one of its name has come back since (JACK
    // drops a port's connections with it).
    bool Connected(bool input, int slot, const std::string &other) const;

    // Calls notify on JACK's notification thread whenever a client or a port
    // comes or goes, a connection is made or broken, or a client starts
    // (graph order). An empty function ends the calls; once this returns, none
    // is running.
    void SetGraphNotify(std::function<void()> notify);

private:
    struct TInputSlot {
        jack_port_t *Port = nullptr;
        std::atomic<TMidiEventQueue *> Queue{nullptr};
        bool InUse = false;
    };
    struct TOutputSlot {
        jack_port_t *Port = nullptr;
        jack_ringbuffer_t *Ring = nullptr;
        std::atomic<bool> Active{false};
        std::mutex SendMutex; // one writer into the ring at a time
        bool InUse = false;
    };

    explicit TJackMidiClient(jack_client_t *client);
    static int OnProcess(jack_nframes_t frames, void *self) noexcept;
    static void OnShutdown(void *self) noexcept;
    static void OnPortRegistration(jack_port_id_t, int, void *self) noexcept;
    static void OnClientRegistration(const char *, int, void *self) noexcept;
    static void OnPortConnect(jack_port_id_t, jack_port_id_t, int, void *self) noexcept;
    static int OnGraphOrder(void *self) noexcept;
    void NotifyGraph() noexcept;
    void Process(jack_nframes_t frames) noexcept;
    void DrainOutput(TOutputSlot &slot, void *buffer) noexcept;
    // Waits until no cycle that began before the call is still running.
    void WaitForCycle() const;
    // A free slot of the direction, its port registered on first use; -1 when none.
    int TakeSlotLocked(bool input, const std::string &portName);
    bool ConnectLocked(const std::string &from, const std::string &to);

    jack_client_t *Client;
    mutable std::mutex ControlMutex; // opens, closes and listing
    std::array<TInputSlot, MaxPorts> Inputs;
    std::array<TOutputSlot, MaxPorts> Outputs;
    // Slots whose ports exist; the real-time thread looks at no others.
    std::atomic<int> InputCount{0};
    std::atomic<int> OutputCount{0};
    std::atomic<bool> Running{true};
    std::mutex NotifyMutex; // held while GraphNotify runs
    std::function<void()> GraphNotify;
    std::atomic<bool> InCycle{false};
    std::atomic<std::uint64_t> Cycles{0};
};

} // namespace tarvello
