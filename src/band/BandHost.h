#pragma once

#include "band/BandContent.h"
#include "band/BandContentStore.h"
#include "band/BandPlaces.h"
#include "band/BandState.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tarvello {

class TBandFollower;
class TBandHttpSession;

// The band server's working half, on a thread of its own that runs an
// Asio event loop: the listening socket, the places, the HTTP connections,
// the followers and the content. The stage's thread only publishes, and
// never waits for anything a client does.
class TBandHost {
public:
    using TState = std::shared_ptr<const std::string>;

    // `value` and `select` are called on the host's thread for a remote's
    // commands.
    TBandHost(std::function<void(int)> value, std::function<void()> select,
              std::function<void(int)> show);
    ~TBandHost();
    TBandHost(const TBandHost &) = delete;
    TBandHost &operator=(const TBandHost &) = delete;

    // From another thread: listen on every address of this machine, or give
    // the reason why not. Listening again starts afresh.
    QString Listen(quint16 port, const QByteArray &key);
    void Close();

    // Any thread: the latest only is kept.
    void Publish(const TBandState &state, const QList<TBandPrompt> &neighbours);
    void PublishSlots(const QStringList &names);
    void PublishShows(const QList<TBandShow> &shows);

    // For the connections, on the host's thread.
    const QByteArray &Key() const { return KeyBytes; }
    quint16 Port() const { return ListenPort; }
    TState CurrentState() const { return StateJson; }
    QByteArray SlotsJson();
    QByteArray ShowsJson();
    std::optional<TBandPrompt> PromptOfContent(qint64 id);
    TBandContentStore &Content() { return *Store; }
    TBandPlaces &Places() { return Taken; }
    // A follower whose handshake is done: it is sent the state now and every
    // state from now on.
    void Join(const std::shared_ptr<TBandFollower> &follower);
    void Value(int value) { ValueCommand(value); }
    void Select() { SelectCommand(); }
    void Show(int number) { ShowCommand(number); }

private:
    void Run(const std::function<void()> &work);
    QString OpenAcceptor(quint16 port);
    void Accept();
    void Refuse(boost::asio::ip::tcp::socket socket);
    void EndAll();
    void Broadcast();
    void Sweep();

    std::function<void(int)> ValueCommand;
    std::function<void()> SelectCommand;
    std::function<void(int)> ShowCommand;
    TBandPlaces Taken;
    std::vector<std::weak_ptr<TBandHttpSession>> Sessions;
    std::vector<std::weak_ptr<TBandFollower>> Followers;
    QByteArray KeyBytes;
    quint16 ListenPort = 0;
    int Refusing = 0;
    int SweepTicks = 0;
    TState StateJson;
    int PicturesListener = 0;

    // Published from other threads: the latest only.
    std::mutex Lock;
    TBandState State;
    QList<TBandPrompt> Neighbours;
    QByteArray SlotsBytes = "[]";
    QByteArray ShowsBytes = "[]";
    qint64 Seq = 0;
    qint64 ContentId = 0;
    TBandPrompt ContentPrompt;
    std::atomic<bool> BroadcastQueued{false};

    // Made and ended in this order by the constructor and destructor: what
    // runs on the loop goes before the loop.
    std::unique_ptr<boost::asio::io_context> Io;
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> Work;
    std::unique_ptr<TBandContentStore> Store;
    std::unique_ptr<boost::asio::ip::tcp::acceptor> Acceptor;
    std::unique_ptr<boost::asio::steady_timer> SweepTimer;
    std::thread Thread;
};

} // namespace tarvello
