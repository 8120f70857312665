#pragma once

// The ALSA sequencer through RtMidi. Each open device is a sequencer client
// of its own, named after the program; one more client of the program lists
// the ports and hears the sequencer announce those that come and go.

#include "midi/MidiTransport.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _snd_seq;

namespace tarvello {

// The program's own client of the ALSA sequencer, for what RtMidi does not
// offer: listing the ports without making a sequencer client for each look,
// and hearing the sequencer's announcements of clients and ports that come
// and go (its announce port), on a thread of its own.
class TAlsaSequencer {
public:
    // A client named clientName that listens to the announce port; nullptr
    // when the sequencer cannot be opened.
    static std::unique_ptr<TAlsaSequencer> Open(const std::string &clientName);
    ~TAlsaSequencer();
    TAlsaSequencer(const TAlsaSequencer &) = delete;
    TAlsaSequencer &operator=(const TAlsaSequencer &) = delete;

    // The MIDI ports others can read from (sources = true) or write to, named
    // as RtMidi names them: "client:port C:P" with the numeric address last.
    std::vector<std::string> ListPorts(bool sources) const;

    // Whether announcements arrive (the announce port could be subscribed).
    bool Watching() const noexcept { return Worker.joinable(); }
    // Calls notify on the announcement thread for every client or port that
    // comes, goes or changes. An empty function ends the calls; once this
    // returns, none is running.
    void SetNotify(std::function<void()> notify);

    // A flag that is set once the port named by systemName (its address, the
    // numbers at the end) goes away; never set when the name holds no address
    // or no announcements arrive.
    std::shared_ptr<const std::atomic<bool>> Track(const std::string &systemName);

    // The address at the end of a port's name ("... 20:0" gives 20 and 0).
    static bool AddressOf(const std::string &systemName, int &client, int &port);

private:
    TAlsaSequencer(_snd_seq *seq, int wakeRead, int wakeWrite);
    void Run();
    // Marks the tracked ports at client (and port, unless -1) as gone.
    void Gone(int client, int port);

    struct TTracked {
        int Client;
        int Port;
        std::weak_ptr<std::atomic<bool>> Flag;
    };

    _snd_seq *Seq;
    const int WakeRead; // written to once, to end the thread
    const int WakeWrite;
    mutable std::mutex SeqMutex; // the handle serves one call at a time
    std::mutex NotifyMutex;      // held while Notify runs
    std::function<void()> Notify;
    std::mutex TrackMutex;
    std::vector<TTracked> Tracked;
    std::thread Worker;
};

class TAlsaMidiTransport : public TMidiTransport {
public:
    // Whether RtMidi was built with ALSA and the sequencer can be opened.
    static bool Available();

    explicit TAlsaMidiTransport(std::string clientName);
    ~TAlsaMidiTransport() override;

    std::vector<std::string> ListPorts(bool input) override;
    QString DeviceName(const std::string &systemName) const override;
    std::unique_ptr<TMidiTransportInput>
    OpenInput(const TMidiPortName &port, TMidiEventQueue &queue, TMidiResult &result) override;
    std::unique_ptr<TMidiTransportOutput> OpenOutput(const TMidiPortName &port,
                                                     TMidiResult &result) override;
    // Through the sequencer's announce port; false when it cannot be heard.
    bool WatchPorts(std::function<void()> notify) override;

    // ALSA's numeric address (" 20:0") goes, so that a stored name still
    // matches after a reboot.
    static QString WithoutAddress(const std::string &portName);

private:
    std::string ClientName;
    std::unique_ptr<TAlsaSequencer> Sequencer; // nullptr when it could not be opened
};

} // namespace tarvello
