#pragma once

#include <QByteArray>

#include <cstddef>

namespace tarvello {

// Request bodies above this are refused; no command needs more.
inline constexpr std::size_t HttpBodyLimit = 4096;
inline constexpr std::size_t HttpHeaderLimit = 8192;

// The path of a request target, without the query; empty when the target is
// not an absolute path.
QByteArray TargetPath(const QByteArray &target);

// Whether a request's Host names this server as the stage network reaches it:
// an IP address or "localhost", with the port it listens on (a browser leaves
// out only port 80). Any other name is refused: a page of another site whose
// name was made to point here (DNS rebinding) must not read the show.
bool HostAllowed(const QByteArray &host, quint16 port);

// Whether a browser's Origin is this server's own: none (not a browser), or
// "http://" and the Host the request names.
bool OriginAllowed(const QByteArray &origin, const QByteArray &host);

// Whether a request's Transfer-Encoding is one the server reads: none, or
// chunked alone (counted against the body limit like any body).
bool TransferCodingAllowed(const QByteArray &codings);

} // namespace tarvello
