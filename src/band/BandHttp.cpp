// The HTTP side of the band server: requests read with Boost.Beast's parser,
// answered from the pages compiled in, the state, and the prompt shown.
#include "band/BandHost.h"

#include "band/BandKey.h"
#include "band/BandServer.h"
#include "band/HttpRequest.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocketServer>

namespace tarvello {
namespace {

// The follow and remote pages run only their own scripts, talk only to this
// server, and frame only web pages and the prompt shown.
const QByteArray PagePolicy =
    "default-src 'self'; script-src 'self'; style-src 'self' 'unsafe-inline'; "
    "img-src 'self' data: blob:; connect-src 'self' ws: wss:; frame-src 'self' http: https:; "
    "object-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
// A prompt's own HTML never runs a script, whatever it holds.
const QByteArray ContentPolicy = "default-src 'none'; style-src 'unsafe-inline'; img-src data:; "
                                 "sandbox; frame-ancestors 'self'";

// A connection that has this much not yet taken gets no more answers until
// it has.
constexpr qint64 WriteBacklogLimit = 4 * 1024 * 1024;

QByteArray Reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Error";
    }
}

struct TPage {
    const char *Resource;
    QByteArray Type;
};

const TPage *PageOfPath(const QByteArray &path)
{
    static const QHash<QByteArray, TPage> pages{
        {"/", {":/band/follow.html", "text/html; charset=utf-8"}},
        {"/remote", {":/band/remote.html", "text/html; charset=utf-8"}},
        {"/follow.js", {":/band/follow.js", "text/javascript; charset=utf-8"}},
        {"/remote.js", {":/band/remote.js", "text/javascript; charset=utf-8"}},
        {"/band.css", {":/band/band.css", "text/css; charset=utf-8"}},
    };
    const auto it = pages.constFind(path);
    return it == pages.constEnd() ? nullptr : &*it;
}

QByteArray ResourceBytes(const char *resource)
{
    QFile file(QString::fromLatin1(resource));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// {"value": N} with N a whole number from 0 to 127, and nothing else.
std::optional<int> ValueOfBody(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const QJsonValue value = object.value(QStringLiteral("value"));
    if (object.size() != 1 || !value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number < 0 || number > 127 || number != double(int(number))) {
        return std::nullopt;
    }
    return int(number);
}

} // namespace

void TBandHost::ReadRequests(QTcpSocket *socket)
{
    while (socket->state() == QAbstractSocket::ConnectedState &&
           socket->bytesToWrite() < WriteBacklogLimit) {
        const QByteArray buffered = socket->peek(qint64(HttpHeaderLimit + HttpBodyLimit + 1024));
        if (buffered.isEmpty()) {
            return;
        }
        const THttpRead read = ReadHttpRequest(buffered);
        switch (read.Result) {
        case THttpReadResult::NeedMore:
            return;
        case THttpReadResult::BodyTooLarge:
            Respond(socket, 413, "text/plain", "Request body over 4 KiB\n", false);
            return;
        case THttpReadResult::HeaderTooLarge:
            Respond(socket, 431, "text/plain", "Request header too large\n", false);
            return;
        case THttpReadResult::Bad:
            Respond(socket, 400, "text/plain", "Bad request\n", false);
            return;
        case THttpReadResult::Complete:
            break;
        }
        if (read.Request.WebSocketUpgrade && TargetPath(read.Request.Target) == "/ws") {
            // The WebSocket server reads the handshake itself: it is left in
            // the socket.
            Upgrade(socket);
            return;
        }
        socket->skip(qint64(read.Consumed));
        if (auto *idle = socket->findChild<QTimer *>(QStringLiteral("idle"))) {
            idle->start(30000);
        }
        Answer(socket, read.Request);
    }
}

void TBandHost::Answer(QTcpSocket *socket, const THttpRequest &request)
{
    const bool keepAlive = request.KeepAlive;
    const QByteArray path = TargetPath(request.Target);
    if (path == "/api/value" || path == "/api/select") {
        AnswerCommand(socket, request, keepAlive);
        return;
    }
    if (request.Method != "GET") {
        Respond(socket, 405, "text/plain", "Method not allowed\n", keepAlive);
        return;
    }
    if (const TPage *page = PageOfPath(path)) {
        Respond(socket, 200, page->Type, ResourceBytes(page->Resource), keepAlive, PagePolicy);
        return;
    }
    if (path == "/api/state") {
        Respond(socket, 200, "application/json", StateJson, keepAlive);
        return;
    }
    if (path == "/api/slots") {
        QByteArray names;
        {
            QMutexLocker locker(&Lock);
            names = SlotsJson;
        }
        Respond(socket, 200, "application/json", names, keepAlive);
        return;
    }
    if (path.startsWith("/content/")) {
        AnswerContent(socket, request, keepAlive);
        return;
    }
    if (path == "/ws") {
        Respond(socket, 400, "text/plain", "WebSocket only\n", keepAlive);
        return;
    }
    Respond(socket, 404, "text/plain", "Not found\n", keepAlive);
}

void TBandHost::AnswerCommand(QTcpSocket *socket, const THttpRequest &request, bool keepAlive)
{
    if (request.Method != "POST") {
        Respond(socket, 405, "text/plain", "Method not allowed\n", keepAlive);
        return;
    }
    if (!AuthorizedByKey(request.Authorization, Key)) {
        Respond(socket, 401, "text/plain", "The remote's key is missing or wrong\n", keepAlive);
        return;
    }
    if (TargetPath(request.Target) == "/api/select") {
        emit Facade.SelectRequested();
        Respond(socket, 204, {}, {}, keepAlive);
        return;
    }
    const std::optional<int> value = ValueOfBody(request.Body);
    if (!value) {
        Respond(socket, 400, "text/plain", "Expected {\"value\": 0 to 127}\n", keepAlive);
        return;
    }
    emit Facade.ValueRequested(*value);
    Respond(socket, 204, {}, {}, keepAlive);
}

void TBandHost::AnswerContent(QTcpSocket *socket, const THttpRequest &request, bool keepAlive)
{
    // Only the prompt shown now is served, by its number: nothing of the
    // request ever names a file.
    bool ok = false;
    const qint64 id = TargetPath(request.Target).mid(int(qstrlen("/content/"))).toLongLong(&ok);
    TBandPrompt prompt;
    {
        QMutexLocker locker(&Lock);
        if (!ok || id != ContentId) {
            ok = false;
        }
        prompt = ContentPrompt;
    }
    const TBandContent *content = nullptr;
    if (ok) {
        const int asked = TargetQueryValue(request.Target, "w").toInt();
        if (asked > 0) {
            LastWidth = asked;
        }
        content = Content(prompt, asked > 0 ? asked : LastWidth);
    }
    if (!content) {
        Respond(socket, 404, "text/plain", "Not the prompt shown\n", keepAlive);
        return;
    }
    Respond(socket, 200, content->Type, content->Bytes, keepAlive, ContentPolicy);
}

void TBandHost::Respond(QTcpSocket *socket, int status, const QByteArray &type,
                        const QByteArray &body, bool keepAlive, const QByteArray &policy)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n";
    if (!type.isEmpty()) {
        head += "Content-Type: " + type + "\r\n";
    }
    if (status != 204) {
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    }
    head += "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
            "Referrer-Policy: no-referrer\r\n";
    if (!policy.isEmpty()) {
        head += "Content-Security-Policy: " + policy + "\r\n";
    }
    head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    socket->write(head + body);
    if (!keepAlive) {
        socket->disconnectFromHost();
    }
}

void TBandHost::Upgrade(QTcpSocket *socket)
{
    socket->disconnect(this);
    HttpSockets.removeOne(socket);
    delete socket->findChild<QTimer *>(QStringLiteral("idle"));
    Handshaking.append(socket);
    Ws->handleConnection(socket);
}

} // namespace tarvello
