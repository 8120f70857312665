#pragma once

#include <QByteArray>

#include <cstddef>

namespace tarvello {

// The parts of an HTTP request the band server answers to.
struct THttpRequest {
    QByteArray Method;
    QByteArray Target;
    QByteArray Authorization;
    QByteArray Body;
    bool WebSocketUpgrade = false;
    bool KeepAlive = true;
};

enum class THttpReadResult {
    NeedMore,       // the request is not complete yet
    Complete,       // Request holds it; Consumed bytes belong to it
    BodyTooLarge,   // 413
    HeaderTooLarge, // 431
    Bad,            // 400
};

struct THttpRead {
    THttpReadResult Result = THttpReadResult::NeedMore;
    std::size_t Consumed = 0;
    THttpRequest Request;
};

// Request bodies above this are refused; no command needs more.
inline constexpr std::size_t HttpBodyLimit = 4096;
inline constexpr std::size_t HttpHeaderLimit = 8192;

// Reads the request at the front of `bytes` (what the connection has received
// and not yet answered) with Boost.Beast's parser. The limits are checked as
// soon as the header says how large the body is, before it arrives.
THttpRead ReadHttpRequest(const QByteArray &bytes);

// The path of a request target, without the query; empty when the target is
// not an absolute path.
QByteArray TargetPath(const QByteArray &target);
// The value of one query parameter, or empty.
QByteArray TargetQueryValue(const QByteArray &target, const QByteArray &name);

} // namespace tarvello
