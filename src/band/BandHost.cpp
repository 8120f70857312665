#include "band/BandHost.h"

#include "band/BandAnswers.h"
#include "band/BandFollower.h"
#include "band/BandHttpSession.h"
#include "pdfhost/PagePictures.h"

#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/tcp_stream.hpp>

#include <future>

namespace tarvello {

namespace asio = boost::asio;
namespace beast = boost::beast;
using tcp = boost::asio::ip::tcp;

namespace {

// Followers hear the state again this often, so that a page can tell a dead
// connection from a quiet show.
constexpr int HeartbeatSeconds = 5;
// Connections refused with a 503 at a time; more are closed unanswered.
constexpr int MostRefusing = 64;

bool HasContent(const QString &kind)
{
    return kind == QLatin1String("text") || kind == QLatin1String("rtf") ||
           kind == QLatin1String("pdf") || kind == QLatin1String("picture") ||
           kind == QLatin1String("html");
}

template <class T> void Prune(std::vector<std::weak_ptr<T>> &list)
{
    std::erase_if(list, [](const std::weak_ptr<T> &item) { return item.expired(); });
}

} // namespace

TBandHost::TBandHost(std::function<void(int)> value, std::function<void()> select,
                     std::function<void(int)> show)
    : ValueCommand(std::move(value)), SelectCommand(std::move(select)),
      ShowCommand(std::move(show)),
      StateJson(
          std::make_shared<const std::string>(BandStateJson(TBandState{}, 0, {}).toStdString())),
      Io(std::make_unique<asio::io_context>(1))
{
    Work.emplace(asio::make_work_guard(*Io));
    Store = std::make_unique<TBandContentStore>(*Io);
    SweepTimer = std::make_unique<asio::steady_timer>(*Io);
    Thread = std::thread([this] { Io->run(); });
    TBandContentStore *store = Store.get();
    PicturesListener = TPagePictures::Instance().AddListener([store] { store->PicturesChanged(); });
}

TBandHost::~TBandHost()
{
    TPagePictures::Instance().RemoveListener(PicturesListener);
    Run([this] { EndAll(); });
    Work.reset();
    Io->stop();
    Thread.join();
    // The content's thread first, then what the loop still holds: the last
    // connections end while their places can still be given back.
    Store.reset();
    Acceptor.reset();
    SweepTimer.reset();
    Io.reset();
}

void TBandHost::Run(const std::function<void()> &work)
{
    std::promise<void> done;
    asio::post(*Io, [&] {
        work();
        done.set_value();
    });
    done.get_future().wait();
}

QString TBandHost::Listen(quint16 port, const QByteArray &key)
{
    QString reason;
    Run([&] {
        EndAll();
        reason = OpenAcceptor(port);
        if (!reason.isEmpty()) {
            return;
        }
        KeyBytes = key;
        ListenPort = port;
        Accept();
        SweepTimer->expires_after(std::chrono::seconds(1));
        SweepTimer->async_wait([this](const beast::error_code &error) {
            if (!error) {
                Sweep();
            }
        });
    });
    return reason;
}

void TBandHost::Close()
{
    Run([this] { EndAll(); });
}

QString TBandHost::OpenAcceptor(quint16 port)
{
    // Every address of this machine, IPv6 and IPv4 together where it can.
    beast::error_code error;
    for (const tcp::endpoint &endpoint :
         {tcp::endpoint(tcp::v6(), port), tcp::endpoint(tcp::v4(), port)}) {
        auto acceptor = std::make_unique<tcp::acceptor>(*Io);
        acceptor->open(endpoint.protocol(), error);
        if (!error && endpoint.protocol() == tcp::v6()) {
            acceptor->set_option(asio::ip::v6_only(false), error);
        }
        if (!error) {
            acceptor->set_option(asio::socket_base::reuse_address(true), error);
        }
        if (!error) {
            acceptor->bind(endpoint, error);
        }
        if (!error) {
            acceptor->listen(asio::socket_base::max_listen_connections, error);
        }
        if (!error) {
            Acceptor = std::move(acceptor);
            return {};
        }
    }
    return QString::fromStdString(error.message());
}

void TBandHost::Accept()
{
    Acceptor->async_accept([this](const beast::error_code &error, tcp::socket socket) {
        if (error == asio::error::operation_aborted || !Acceptor || !Acceptor->is_open()) {
            return;
        }
        if (error) {
            // Out of descriptors, say: try again in a moment rather than spin.
            auto pause = std::make_shared<asio::steady_timer>(*Io, std::chrono::milliseconds(100));
            pause->async_wait([this, pause](const beast::error_code &waited) {
                if (!waited && Acceptor && Acceptor->is_open()) {
                    Accept();
                }
            });
            return;
        }
        Accept();
        beast::error_code ignored;
        const tcp::endpoint peer = socket.remote_endpoint(ignored);
        asio::ip::address address = peer.address();
        if (address.is_v6() && address.to_v6().is_v4_mapped()) {
            address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
        }
        socket.set_option(tcp::no_delay(true), ignored);
        auto slot = std::make_shared<std::weak_ptr<TBandHttpSession>>();
        std::optional<TBandPlaces::THold> hold = Taken.Take(address.to_string(), [slot] {
            if (auto session = slot->lock()) {
                session->End();
            }
        });
        if (!hold) {
            Refuse(std::move(socket));
            return;
        }
        auto session =
            std::make_shared<TBandHttpSession>(*this, beast::tcp_stream(std::move(socket)));
        *slot = session;
        Prune(Sessions);
        Sessions.push_back(session);
        session->Start(std::move(*hold));
    });
}

void TBandHost::Refuse(tcp::socket socket)
{
    beast::error_code ignored;
    if (Refusing >= MostRefusing) {
        socket.close(ignored);
        return;
    }
    ++Refusing;
    static const QByteArray busy = BandAnswer(503, "Too many connections\n", false);
    auto stream = std::make_shared<beast::tcp_stream>(std::move(socket));
    stream->expires_after(std::chrono::seconds(2));
    asio::async_write(*stream, asio::buffer(busy.constData(), std::size_t(busy.size())),
                      [this, stream](const beast::error_code &, std::size_t) {
                          beast::error_code ignored;
                          stream->socket().shutdown(asio::socket_base::shutdown_send, ignored);
                          // What the client sent is read once, so that closing does not
                          // reset the connection before the answer is read.
                          auto scratch = std::make_shared<std::array<char, 1024>>();
                          stream->async_read_some(
                              asio::buffer(*scratch),
                              [this, stream, scratch](const beast::error_code &, std::size_t) {
                                  beast::error_code ignored;
                                  stream->socket().close(ignored);
                                  --Refusing;
                              });
                      });
}

void TBandHost::EndAll()
{
    beast::error_code ignored;
    if (Acceptor) {
        Acceptor->close(ignored);
        Acceptor.reset();
    }
    for (const auto &weak : Sessions) {
        if (auto session = weak.lock()) {
            session->End();
        }
    }
    Sessions.clear();
    for (const auto &weak : Followers) {
        if (auto follower = weak.lock()) {
            follower->End();
        }
    }
    Followers.clear();
    Store->Cancel();
    SweepTimer->cancel();
    ListenPort = 0;
}

void TBandHost::Join(const std::shared_ptr<TBandFollower> &follower)
{
    Prune(Followers);
    Followers.push_back(follower);
    follower->Send(StateJson);
}

void TBandHost::Publish(const TBandState &state, const QList<TBandPrompt> &neighbours)
{
    {
        const std::lock_guard lock(Lock);
        const TBandPrompt prompt{state.Kind, state.File, state.Page};
        if (!(prompt == ContentPrompt)) {
            ContentPrompt = prompt;
            ++ContentId;
        }
        State = state;
        Neighbours = neighbours;
        ++Seq;
    }
    if (!BroadcastQueued.exchange(true)) {
        asio::post(*Io, [this] { Broadcast(); });
    }
}

void TBandHost::PublishSlots(const QStringList &names)
{
    const QByteArray json = BandSlotsJson(names);
    const std::lock_guard lock(Lock);
    SlotsBytes = json;
}

QByteArray TBandHost::SlotsJson()
{
    const std::lock_guard lock(Lock);
    return SlotsBytes;
}

void TBandHost::PublishShows(const QList<TBandShow> &shows)
{
    const QByteArray json = BandShowsJson(shows);
    const std::lock_guard lock(Lock);
    ShowsBytes = json;
}

QByteArray TBandHost::ShowsJson()
{
    const std::lock_guard lock(Lock);
    return ShowsBytes;
}

std::optional<TBandPrompt> TBandHost::PromptOfContent(qint64 id)
{
    const std::lock_guard lock(Lock);
    if (id != ContentId || !HasContent(ContentPrompt.Kind)) {
        return std::nullopt;
    }
    return ContentPrompt;
}

void TBandHost::Broadcast()
{
    BroadcastQueued = false;
    QList<TBandPrompt> prompts;
    {
        const std::lock_guard lock(Lock);
        const QString content = HasContent(ContentPrompt.Kind)
                                    ? QStringLiteral("/content/%1").arg(ContentId)
                                    : QString();
        StateJson =
            std::make_shared<const std::string>(BandStateJson(State, Seq, content).toStdString());
        // The prompt shown first, then where the show may go next.
        for (const TBandPrompt &prompt : QList<TBandPrompt>{ContentPrompt} + Neighbours) {
            if (HasContent(prompt.Kind)) {
                prompts.append(prompt);
            }
        }
    }
    Prune(Followers);
    for (const auto &weak : Followers) {
        if (auto follower = weak.lock()) {
            follower->Send(StateJson);
        }
    }
    if (Acceptor) {
        Store->Prepare(prompts);
    }
}

void TBandHost::Sweep()
{
    const auto now = std::chrono::steady_clock::now();
    const bool heartbeat = ++SweepTicks % HeartbeatSeconds == 0;
    Prune(Followers);
    for (const auto &weak : Followers) {
        if (auto follower = weak.lock()) {
            if (follower->Stuck(now)) {
                follower->End();
            } else if (heartbeat) {
                follower->Send(StateJson);
            }
        }
    }
    SweepTimer->expires_after(std::chrono::seconds(1));
    SweepTimer->async_wait([this](const beast::error_code &error) {
        if (!error) {
            Sweep();
        }
    });
}

} // namespace tarvello
