#include "band/BandHttpSession.h"

#include "band/BandAnswers.h"
#include "band/BandFollower.h"
#include "band/BandHost.h"
#include "band/BandKey.h"
#include "band/HttpRequest.h"

#include <boost/asio/write.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

#include <array>

namespace tarvello {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = boost::beast::http;

namespace {

// A request comes whole within this time; a kept-alive connection may stay
// quiet for longer before its next one starts.
constexpr std::chrono::seconds RequestTime(10);
constexpr std::chrono::seconds KeptAliveTime(30);
constexpr std::chrono::seconds WriteTime(10);
constexpr std::chrono::seconds LingerTime(2);
constexpr std::size_t BufferLimit = HttpHeaderLimit + HttpBodyLimit + 1024;

bool IsParseError(const beast::error_code &error)
{
    return error.category() == make_error_code(http::error::bad_method).category();
}

QByteArray Field(const http::request<http::string_body> &request, http::field field)
{
    const auto value = request[field];
    return QByteArray(value.data(), qsizetype(value.size()));
}

QByteArray Target(const http::request<http::string_body> &request)
{
    return QByteArray(request.target().data(), qsizetype(request.target().size()));
}

} // namespace

TBandHttpSession::TBandHttpSession(TBandHost &host, beast::tcp_stream stream)
    : Host(host), Stream(std::move(stream)), Buffer(BufferLimit)
{
}

void TBandHttpSession::Start(TBandPlaces::THold hold)
{
    Hold = std::move(hold);
    ReadHeader();
}

void TBandHttpSession::AwaitRequest()
{
    Hold.SetRole(TBandPlaces::TRole::Waiting);
    if (Buffer.size() > 0) {
        ReadHeader();
        return;
    }
    Stream.expires_after(KeptAliveTime);
    ReadMore(&TBandHttpSession::ReadHeader);
}

void TBandHttpSession::ReadMore(void (TBandHttpSession::*then)())
{
    Stream.async_read_some(
        Buffer.prepare(4096),
        [self = shared_from_this(), then](const beast::error_code &error, std::size_t size) {
            if (error || self->Ended) {
                self->End();
                return;
            }
            self->Buffer.commit(size);
            ((*self).*then)();
        });
}

void TBandHttpSession::ReadHeader()
{
    Parser.emplace();
    Parser->header_limit(HttpHeaderLimit);
    Parser->body_limit(HttpBodyLimit);
    Stream.expires_after(RequestTime);
    http::async_read_header(Stream, Buffer, *Parser,
                            [self = shared_from_this()](const beast::error_code &error,
                                                        std::size_t) { self->HeaderRead(error); });
}

void TBandHttpSession::HeaderRead(const beast::error_code &error)
{
    if (Ended || Failed(error, true)) {
        return;
    }
    Hold.SetRole(TBandPlaces::TRole::Busy);
    const auto &request = Parser->get();
    HostName = Field(request, http::field::host);
    if (!HostAllowed(HostName, Host.Port())) {
        Refuse(421, "Reach this server by its address\n");
        return;
    }
    if (!OriginAllowed(Field(request, http::field::origin), HostName)) {
        Refuse(403, "Not from this server's pages\n");
        return;
    }
    if (!TransferCodingAllowed(Field(request, http::field::transfer_encoding))) {
        Refuse(501, "Transfer coding not supported\n");
        return;
    }
    if (beast::websocket::is_upgrade(request) && TargetPath(Target(request)) == "/ws") {
        Upgrade();
        return;
    }
    const QByteArray expect = Field(request, http::field::expect);
    if (!expect.isEmpty()) {
        if (expect.trimmed().compare("100-continue", Qt::CaseInsensitive) != 0) {
            Refuse(417, "Only 100-continue is expected\n");
            return;
        }
        if (!Parser->is_done()) {
            static const QByteArray proceed = BandAnswerHead(100, {}, -1, true);
            Stream.expires_after(WriteTime);
            asio::async_write(
                Stream, asio::buffer(proceed.constData(), proceed.size()),
                [self = shared_from_this()](const beast::error_code &error, std::size_t) {
                    if (error || self->Ended) {
                        self->End();
                        return;
                    }
                    self->ReadBody();
                });
            return;
        }
    }
    if (Parser->is_done()) {
        Handle();
    } else {
        ReadBody();
    }
}

bool TBandHttpSession::Failed(const beast::error_code &error, bool header)
{
    if (!error) {
        return false;
    }
    if (error == http::error::body_limit || (!header && error == http::error::buffer_overflow)) {
        Refuse(413, "Request body over 4 KiB\n");
    } else if (error == http::error::header_limit || error == http::error::buffer_overflow) {
        Refuse(431, "Request header too large\n");
    } else if (IsParseError(error) && error != http::error::end_of_stream &&
               error != http::error::partial_message) {
        Refuse(400, "Bad request\n");
    } else {
        // Gone, or out of time.
        End();
    }
    return true;
}

void TBandHttpSession::ReadBody()
{
    Stream.expires_after(RequestTime);
    http::async_read(Stream, Buffer, *Parser,
                     [self = shared_from_this()](const beast::error_code &error, std::size_t) {
                         self->BodyRead(error);
                     });
}

void TBandHttpSession::BodyRead(const beast::error_code &error)
{
    if (Ended || Failed(error, false)) {
        return;
    }
    Handle();
}

void TBandHttpSession::Handle()
{
    const auto &request = Parser->get();
    const QByteArray path = TargetPath(Target(request));
    // A place kept for keyed commands serves one and is given back.
    const bool keepAlive = request.keep_alive() && !Hold.KeyOnly();
    if (path == "/api/value" || path == "/api/select" || path == "/api/show") {
        HandleCommand(path, keepAlive);
        return;
    }
    if (Hold.KeyOnly()) {
        Refuse(503, "Too many connections\n");
        return;
    }
    if (request.method() != http::verb::get) {
        Reply(405, "Method not allowed\n", keepAlive);
        return;
    }
    if (const std::optional<TBandPage> page = BandPageOfPath(path)) {
        Send(BandAnswerHead(200, page->Type, page->Bytes.size(), keepAlive, BandPagePolicy) +
                 page->Bytes,
             nullptr, keepAlive);
        return;
    }
    if (path == "/api/state" || path == "/api/slots" || path == "/api/shows") {
        const QByteArray body = path == "/api/state"   ? QByteArray::fromStdString(*Host.CurrentState())
                                : path == "/api/slots" ? Host.SlotsJson()
                                                       : Host.ShowsJson();
        Send(BandAnswerHead(200, "application/json", body.size(), keepAlive) + body, nullptr,
             keepAlive);
        return;
    }
    if (path.startsWith("/content/")) {
        HandleContent(path, keepAlive);
        return;
    }
    if (path == "/ws") {
        Reply(400, "WebSocket only\n", keepAlive);
        return;
    }
    Reply(404, "Not found\n", keepAlive);
}

void TBandHttpSession::HandleCommand(const QByteArray &path, bool keepAlive)
{
    const auto &request = Parser->get();
    const bool keyed = AuthorizedByKey(Field(request, http::field::authorization), Host.Key());
    if (Hold.KeyOnly() && (!keyed || request.method() != http::verb::post)) {
        Refuse(503, "Too many connections\n");
        return;
    }
    if (request.method() != http::verb::post) {
        Reply(405, "Method not allowed\n", keepAlive);
        return;
    }
    if (!keyed) {
        Reply(401, "The remote's key is missing or wrong\n", keepAlive);
        return;
    }
    if (path == "/api/select") {
        Host.Select();
        Reply(204, {}, keepAlive);
        return;
    }
    if (path == "/api/show") {
        const std::optional<int> show = BandShowOfBody(QByteArray::fromStdString(request.body()));
        if (!show) {
            Reply(400, "Expected {\"show\": 0 to 16383}\n", keepAlive);
            return;
        }
        Host.Show(*show);
        Reply(204, {}, keepAlive);
        return;
    }
    const std::optional<int> value = BandValueOfBody(QByteArray::fromStdString(request.body()));
    if (!value) {
        Reply(400, "Expected {\"value\": 0 to 127}\n", keepAlive);
        return;
    }
    Host.Value(*value);
    Reply(204, {}, keepAlive);
}

void TBandHttpSession::HandleContent(const QByteArray &path, bool keepAlive)
{
    // Only the prompt shown now is served, by its number: nothing of the
    // request ever names a file.
    bool ok = false;
    const qint64 id = path.mid(qsizetype(qstrlen("/content/"))).toLongLong(&ok);
    const std::optional<TBandPrompt> prompt = ok ? Host.PromptOfContent(id) : std::nullopt;
    if (!prompt) {
        Reply(404, "Not the prompt shown\n", keepAlive);
        return;
    }
    Host.Content().Fetch(
        *prompt, [self = shared_from_this(), keepAlive](TBandContentStore::TContent content) {
            if (self->Ended) {
                return;
            }
            if (!content) {
                self->Reply(404, "The prompt's content is not there\n", keepAlive);
                return;
            }
            self->Send(BandAnswerHead(200, content->Type, content->Bytes.size(), keepAlive,
                                      BandContentPolicy),
                       content, keepAlive);
        });
}

void TBandHttpSession::Upgrade()
{
    if (Hold.KeyOnly() || !Host.Places().MakeFollower(Hold)) {
        Refuse(503, "Too many followers\n");
        return;
    }
    auto follower = std::make_shared<TBandFollower>(std::move(Stream), std::move(Hold));
    // The connection is the follower's from here on.
    Ended = true;
    TBandHost &host = Host;
    follower->Accept(Parser->get(),
                     [&host](std::shared_ptr<TBandFollower> joined) { host.Join(joined); });
}

void TBandHttpSession::Send(QByteArray head, TBandContentStore::TContent body, bool keepAlive)
{
    auto bytes = std::make_shared<const QByteArray>(std::move(head));
    const std::array<asio::const_buffer, 2> buffers{
        asio::buffer(bytes->constData(), std::size_t(bytes->size())),
        body ? asio::buffer(body->Bytes.constData(), std::size_t(body->Bytes.size()))
             : asio::const_buffer()};
    Stream.expires_after(WriteTime);
    asio::async_write(Stream, buffers,
                      [self = shared_from_this(), bytes, body,
                       keepAlive](const beast::error_code &error, std::size_t) {
                          if (error || self->Ended) {
                              self->End();
                          } else if (keepAlive) {
                              self->AwaitRequest();
                          } else {
                              self->Linger();
                          }
                      });
}

void TBandHttpSession::Reply(int status, const QByteArray &text, bool keepAlive)
{
    Send(BandAnswer(status, text, keepAlive), nullptr, keepAlive);
}

void TBandHttpSession::Refuse(int status, const QByteArray &text)
{
    Reply(status, text, false);
}

void TBandHttpSession::Linger()
{
    // The answer is out; what the client still sends is read and dropped
    // for a moment, so that closing does not reset the connection before the
    // client has read the answer.
    if (!Lingering) {
        Lingering = true;
        beast::error_code ignored;
        Stream.socket().shutdown(asio::socket_base::shutdown_send, ignored);
        Stream.expires_after(LingerTime);
    }
    Buffer.consume(Buffer.size());
    ReadMore(&TBandHttpSession::Linger);
}

void TBandHttpSession::End()
{
    if (Ended) {
        Hold.Release();
        return;
    }
    Ended = true;
    beast::error_code ignored;
    Stream.socket().shutdown(asio::socket_base::shutdown_both, ignored);
    Stream.socket().close(ignored);
    Hold.Release();
}

} // namespace tarvello
