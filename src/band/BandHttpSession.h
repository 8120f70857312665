#pragma once

#include "band/BandContentStore.h"
#include "band/BandPlaces.h"

#include <QByteArray>

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <memory>
#include <optional>

namespace tarvello {

class TBandHost;

// One HTTP connection to the band server, on the server's thread. Its
// requests are read one at a time with Boost.Beast's parser, within the
// header and body limits whatever the framing, each in a time of its own;
// the next is read only once the answer before has gone out, so a client
// that sends without reading holds a bounded amount. A WebSocket upgrade on
// /ws hands the connection over to a follower.
class TBandHttpSession : public std::enable_shared_from_this<TBandHttpSession> {
public:
    TBandHttpSession(TBandHost &host, boost::beast::tcp_stream stream);

    void Start(TBandPlaces::THold hold);
    // Ends the connection at once (its place was taken back, or the server
    // stops).
    void End();

private:
    using TParser = boost::beast::http::request_parser<boost::beast::http::string_body>;

    void AwaitRequest();
    // Reads what has come into the buffer, then goes on with `then`.
    void ReadMore(void (TBandHttpSession::*then)());
    void ReadHeader();
    void HeaderRead(const boost::beast::error_code &error);
    // Answers or ends the connection for a failed read; false when it did not fail.
    bool Failed(const boost::beast::error_code &error, bool header);
    void ReadBody();
    void BodyRead(const boost::beast::error_code &error);
    void Handle();
    void HandleCommand(const QByteArray &path, bool keepAlive);
    void HandleContent(const QByteArray &path, bool keepAlive);
    void Upgrade();
    // Sends `head` and then `body`; closes after unless `keepAlive`.
    void Send(QByteArray head, TBandContentStore::TContent body, bool keepAlive);
    void Reply(int status, const QByteArray &text, bool keepAlive);
    void Refuse(int status, const QByteArray &text);
    void Linger();

    TBandHost &Host;
    boost::beast::tcp_stream Stream;
    boost::beast::flat_buffer Buffer;
    std::optional<TParser> Parser;
    TBandPlaces::THold Hold;
    QByteArray HostName; // the request's Host, as it named this server
    bool Ended = false;
    bool Lingering = false;
};

} // namespace tarvello
