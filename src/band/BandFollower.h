#pragma once

#include "band/BandPlaces.h"

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/websocket/stream.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tarvello {

// One follower on /ws: the server writes it the newest state, one message at
// a time; a state that comes while one is on its way replaces any other
// waiting, so a slow follower gets only the newest and costs one state of
// memory. A follower says nothing: a data message, a message over the
// limit, an unmasked frame or more control frames than a browser sends end
// the connection.
class TBandFollower : public std::enable_shared_from_this<TBandFollower> {
public:
    using TState = std::shared_ptr<const std::string>;
    // The most control frames (ping, pong) taken in a second.
    static constexpr int ControlFramesPerSecond = 10;
    // A write that has not finished in this time is a follower that is gone.
    static constexpr std::chrono::seconds WriteLimit{10};

    TBandFollower(boost::beast::tcp_stream stream, TBandPlaces::THold hold);

    // Answers the handshake; `joined` is called once it is done, with the
    // follower, to be sent the state.
    void Accept(const boost::beast::http::request<boost::beast::http::string_body> &request,
                std::function<void(std::shared_ptr<TBandFollower>)> joined);
    void Send(TState state);
    // Whether a write has been on its way longer than the limit.
    bool Stuck(std::chrono::steady_clock::time_point now) const;
    bool Open() const { return Joined && !Ended; }
    void End();

private:
    void Write(TState state);
    void Read();
    void ControlFrame();

    boost::beast::websocket::stream<boost::beast::tcp_stream> Ws;
    boost::beast::flat_buffer Incoming;
    TBandPlaces::THold Hold;
    bool Joined = false;
    bool Ended = false;
    bool Writing = false;
    std::chrono::steady_clock::time_point WriteStarted;
    TState Current; // being written
    TState Waiting; // the newest, once Current is written
    std::chrono::steady_clock::time_point ControlSecond;
    int ControlFrames = 0;
};

} // namespace tarvello
