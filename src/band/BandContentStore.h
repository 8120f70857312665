#pragma once

#include "band/BandContent.h"

#include <QList>
#include <QString>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tarvello {

// The content followers fetch, made on a thread of its own so that the band
// server's thread only answers: HTML of text and RTF files, pictures and HTML
// pages as their files hold them, and PDF pages as the stage rendered them
// (nothing is rendered here: Qt PDF renders one page at a time for the whole
// program, and the stage must never wait for the band). A few prompts are
// kept, bounded in number and in bytes; a file changed on disk is made again.
//
// Made, used and destroyed on the band server's thread, but for
// PicturesChanged.
class TBandContentStore {
public:
    using TContent = std::shared_ptr<const TBandContent>;
    using TDone = std::function<void(TContent)>;

    static constexpr std::size_t KeptPrompts = 12;
    static constexpr qint64 KeptBytes = 32 * 1024 * 1024;
    // How long a fetch waits for its content: a PDF page until the stage has
    // rendered it, a file until it is read.
    static constexpr std::chrono::seconds Wait{5};

    explicit TBandContentStore(boost::asio::io_context &io);
    ~TBandContentStore();
    TBandContentStore(const TBandContentStore &) = delete;
    TBandContentStore &operator=(const TBandContentStore &) = delete;

    // The prompt shown first, then where the show may go next: made in that
    // order, and work for prompts no longer asked for is dropped.
    void Prepare(const QList<TBandPrompt> &prompts);
    // `done` gets the content once it is there, or nothing when it cannot be
    // made or has not come within the wait.
    void Fetch(const TBandPrompt &prompt, TDone done);
    // Any thread: the stage rendered another page; PDF prompts waiting for
    // their picture are tried again.
    void PicturesChanged();
    // Fetches still waiting get nothing.
    void Cancel();

private:
    struct TKept {
        TBandPrompt Prompt;
        QString Stamp;
        TContent Content;
    };
    struct TWaiter {
        TBandPrompt Prompt;
        TDone Done;
        std::chrono::steady_clock::time_point Until;
    };
    enum class TMade { Done, Failed, NoPictureYet };

    TContent Kept(const TBandPrompt &prompt);
    void Keep(const TBandPrompt &prompt, const QString &stamp, TContent content);
    void Arrived(const TBandPrompt &prompt, const QString &stamp, TContent content);
    void Queue(const QList<TBandPrompt> &prompts);
    void ExpireWaiters();
    void Work();

    boost::asio::io_context &Io;
    boost::asio::steady_timer Expiry;
    std::deque<TKept> Store; // newest first
    std::vector<TWaiter> Waiters;

    // Shared with the worker.
    std::mutex Lock;
    std::condition_variable Wake;
    QList<TBandPrompt> Jobs;
    std::optional<TBandPrompt> Making;
    QList<TBandPrompt> AwaitingPicture;
    // Counts the pictures the stage offered, so that one offered while a
    // prompt was being looked for is not missed.
    quint64 Pictures = 0;
    bool Stopping = false;
    std::thread Worker;
};

} // namespace tarvello
