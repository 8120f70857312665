#include "band/BandAnswers.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace tarvello {

const QByteArray BandPagePolicy =
    "default-src 'self'; script-src 'self'; style-src 'self' 'unsafe-inline'; "
    "img-src 'self' data: blob:; connect-src 'self' ws: wss:; frame-src 'self' http: https:; "
    "object-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
const QByteArray BandContentPolicy =
    "default-src 'none'; style-src 'unsafe-inline'; img-src data:; "
    "sandbox; frame-ancestors 'self'";

namespace {

QByteArray Reason(int status)
{
    switch (status) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    case 417:
        return "Expectation Failed";
    case 421:
        return "Misdirected Request";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

} // namespace

QByteArray BandAnswerHead(int status, const QByteArray &type, qint64 length, bool keepAlive,
                          const QByteArray &policy)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n";
    if (status == 100) {
        return head + "\r\n";
    }
    if (!type.isEmpty()) {
        head += "Content-Type: " + type + "\r\n";
    }
    if (length >= 0) {
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    }
    head += "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
            "Referrer-Policy: no-referrer\r\n";
    if (!policy.isEmpty()) {
        head += "Content-Security-Policy: " + policy + "\r\n";
    }
    return head + (keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n");
}

QByteArray BandAnswer(int status, const QByteArray &text, bool keepAlive)
{
    if (status == 204) {
        return BandAnswerHead(status, {}, -1, keepAlive);
    }
    return BandAnswerHead(status, text.isEmpty() ? QByteArray() : "text/plain", text.size(),
                          keepAlive) +
           text;
}

std::optional<TBandPage> BandPageOfPath(const QByteArray &path)
{
    struct TResource {
        const char *Name;
        const char *Type;
    };
    static const QHash<QByteArray, TResource> pages{
        {"/", {":/band/follow.html", "text/html; charset=utf-8"}},
        {"/remote", {":/band/remote.html", "text/html; charset=utf-8"}},
        {"/follow.js", {":/band/follow.js", "text/javascript; charset=utf-8"}},
        {"/remote.js", {":/band/remote.js", "text/javascript; charset=utf-8"}},
        {"/band.css", {":/band/band.css", "text/css; charset=utf-8"}},
    };
    const auto it = pages.constFind(path);
    if (it == pages.constEnd()) {
        return std::nullopt;
    }
    QFile file(QString::fromLatin1(it->Name));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return TBandPage{file.readAll(), it->Type};
}

std::optional<int> BandValueOfBody(const QByteArray &body)
{
    return BandNumberOfBody(body, "value", 127);
}

std::optional<int> BandShowOfBody(const QByteArray &body)
{
    return BandNumberOfBody(body, "show", BandLastShow);
}

std::optional<int> BandNumberOfBody(const QByteArray &body, const char *name, int last)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const QJsonValue value = object.value(QLatin1String(name));
    if (object.size() != 1 || !value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number < 0 || number > last || number != double(int(number))) {
        return std::nullopt;
    }
    return int(number);
}

} // namespace tarvello
