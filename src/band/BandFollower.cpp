#include "band/BandFollower.h"

#include "band/BandServer.h"

#include <boost/asio/buffer.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/websocket.hpp>

namespace tarvello {

namespace beast = boost::beast;
namespace websocket = boost::beast::websocket;

TBandFollower::TBandFollower(beast::tcp_stream stream, TBandPlaces::THold hold)
    : Ws(std::move(stream)), Incoming(TBandServer::MaxMessageBytes + 1024), Hold(std::move(hold))
{
}

void TBandFollower::Accept(const beast::http::request<beast::http::string_body> &request,
                           std::function<void(std::shared_ptr<TBandFollower>)> joined)
{
    // The stream's own timer would cut a quiet follower off; the handshake
    // has a time of its own and writes are watched by the server.
    beast::get_lowest_layer(Ws).expires_never();
    websocket::stream_base::timeout timeout{};
    timeout.handshake_timeout = std::chrono::seconds(10);
    timeout.idle_timeout = websocket::stream_base::none();
    timeout.keep_alive_pings = false;
    Ws.set_option(timeout);
    Ws.set_option(websocket::stream_base::decorator([](websocket::response_type &response) {
        response.set(beast::http::field::server, "Tarvello");
    }));
    Ws.read_message_max(TBandServer::MaxMessageBytes);
    Ws.auto_fragment(false);
    Ws.text(true);
    std::weak_ptr<TBandFollower> weak = weak_from_this();
    Ws.control_callback([weak](websocket::frame_type, beast::string_view) {
        if (auto self = weak.lock()) {
            self->ControlFrame();
        }
    });
    Ws.async_accept(request, [self = shared_from_this(),
                              joined = std::move(joined)](const beast::error_code &error) {
        if (error || self->Ended) {
            self->End();
            return;
        }
        self->Joined = true;
        self->ControlSecond = std::chrono::steady_clock::now();
        joined(self);
        self->Read();
    });
}

void TBandFollower::ControlFrame()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - ControlSecond >= std::chrono::seconds(1)) {
        ControlSecond = now;
        ControlFrames = 0;
    }
    if (++ControlFrames > ControlFramesPerSecond) {
        // Not from inside the read that reports it.
        boost::asio::post(Ws.get_executor(), [self = shared_from_this()] { self->End(); });
    }
}

void TBandFollower::Read()
{
    Ws.async_read(Incoming, [self = shared_from_this()](const beast::error_code &, std::size_t) {
        // A follower has nothing to say: whatever ends the read ends it.
        self->End();
    });
}

void TBandFollower::Send(TState state)
{
    if (!Open() || !state) {
        return;
    }
    if (Writing) {
        Waiting = std::move(state);
        return;
    }
    Write(std::move(state));
}

void TBandFollower::Write(TState state)
{
    Writing = true;
    WriteStarted = std::chrono::steady_clock::now();
    Current = std::move(state);
    Ws.async_write(boost::asio::buffer(*Current),
                   [self = shared_from_this()](const beast::error_code &error, std::size_t) {
                       self->Writing = false;
                       self->Current.reset();
                       if (error) {
                           self->End();
                           return;
                       }
                       if (self->Waiting && self->Open()) {
                           TState next = std::move(self->Waiting);
                           self->Waiting.reset();
                           self->Write(std::move(next));
                       }
                   });
}

bool TBandFollower::Stuck(std::chrono::steady_clock::time_point now) const
{
    return Writing && now - WriteStarted > WriteLimit;
}

void TBandFollower::End()
{
    if (Ended) {
        return;
    }
    Ended = true;
    Waiting.reset();
    beast::error_code ignored;
    beast::get_lowest_layer(Ws).socket().shutdown(boost::asio::socket_base::shutdown_both, ignored);
    beast::get_lowest_layer(Ws).socket().close(ignored);
    Hold.Release();
}

} // namespace tarvello
