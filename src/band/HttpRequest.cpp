#include "band/HttpRequest.h"

#include <QList>

#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

namespace tarvello {
namespace {

namespace http = boost::beast::http;

QByteArray Field(const http::request<http::string_body> &request, http::field field)
{
    const auto value = request[field];
    return QByteArray(value.data(), qsizetype(value.size()));
}

bool HasToken(const QByteArray &list, const char *token)
{
    for (const QByteArray &item : list.split(',')) {
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

THttpRead ReadHttpRequest(const QByteArray &bytes)
{
    THttpRead read;
    http::request_parser<http::string_body> parser;
    parser.header_limit(HttpHeaderLimit);
    parser.body_limit(HttpBodyLimit);
    parser.eager(true);
    std::size_t used = 0;
    while (!parser.is_done()) {
        boost::beast::error_code error;
        const std::size_t size = std::size_t(bytes.size()) - used;
        used += parser.put(boost::asio::const_buffer(bytes.constData() + used, size), error);
        if (error == http::error::need_more) {
            // The parser wants more than it has, but never more than the
            // header limit for the header.
            if (!parser.is_header_done() && std::size_t(bytes.size()) > HttpHeaderLimit) {
                read.Result = THttpReadResult::HeaderTooLarge;
            }
            return read;
        }
        if (error == http::error::body_limit) {
            read.Result = THttpReadResult::BodyTooLarge;
            return read;
        }
        if (error == http::error::header_limit) {
            read.Result = THttpReadResult::HeaderTooLarge;
            return read;
        }
        if (error) {
            read.Result = THttpReadResult::Bad;
            return read;
        }
        if (used == std::size_t(bytes.size()) && !parser.is_done()) {
            return read;
        }
    }
    const auto &request = parser.get();
    read.Result = THttpReadResult::Complete;
    read.Consumed = used;
    const auto method = request.method_string();
    read.Request.Method = QByteArray(method.data(), qsizetype(method.size()));
    const auto target = request.target();
    read.Request.Target = QByteArray(target.data(), qsizetype(target.size()));
    read.Request.Authorization = Field(request, http::field::authorization);
    read.Request.Body = QByteArray::fromStdString(request.body());
    read.Request.KeepAlive = request.keep_alive();
    read.Request.WebSocketUpgrade = HasToken(Field(request, http::field::upgrade), "websocket") &&
                                    HasToken(Field(request, http::field::connection), "upgrade");
    return read;
}

QByteArray TargetPath(const QByteArray &target)
{
    if (!target.startsWith('/')) {
        return {};
    }
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}

QByteArray TargetQueryValue(const QByteArray &target, const QByteArray &name)
{
    const qsizetype query = target.indexOf('?');
    if (query < 0) {
        return {};
    }
    for (const QByteArray &pair : target.mid(query + 1).split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0 && pair.left(equals) == name) {
            return pair.mid(equals + 1);
        }
    }
    return {};
}

} // namespace tarvello
