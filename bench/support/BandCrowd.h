#pragma once

// Followers of band screens for the benchmarks: raw WebSocket followers from
// three loopback addresses (no more than the server takes from one), on a
// thread of their own, that note when the state of an awaited slot reaches
// each, and fetch each new prompt's content as the follow page does.

#include <QObject>

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

class QThread;

namespace tarvello::test {

class TRawFollower;

class TBandCrowd : public QObject {
public:
    using TClock = std::chrono::steady_clock;

    // Connects `count` followers to the server on `port` from their thread;
    // `fetch` makes each take the content of every new prompt.
    TBandCrowd(quint16 port, int count, bool fetch);
    ~TBandCrowd() override;

    // From now on, when each follower first has a state of `slot`.
    void Await(int slot);
    // One time per follower; an empty time: not yet.
    std::vector<TClock::time_point> Arrivals();
    // Content answered with 200 so far, over all followers.
    int ContentFetched();

private:
    void Open();
    void Received(std::size_t index);

    quint16 Port;
    int Count;
    bool Fetch;
    std::unique_ptr<QThread> Thread;
    std::vector<std::unique_ptr<TRawFollower>> Followers;
    std::vector<QString> Shown;
    std::mutex Lock;
    int Awaited = -1;
    std::vector<TClock::time_point> Times;
    int Fetched = 0;
};

} // namespace tarvello::test
