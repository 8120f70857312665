#pragma once

#include <QByteArray>

#include <optional>

namespace tarvello {

// The follow and remote pages run only their own scripts, talk only to this
// server, and frame only web pages and the prompt shown.
extern const QByteArray BandPagePolicy;
// A prompt's own HTML never runs a script, whatever it holds.
extern const QByteArray BandContentPolicy;

// The head of an answer; `length` < 0 for none (204, 100).
QByteArray BandAnswerHead(int status, const QByteArray &type, qint64 length, bool keepAlive,
                          const QByteArray &policy = {});
// A whole answer with a plain-text or empty body.
QByteArray BandAnswer(int status, const QByteArray &text, bool keepAlive);

// One of the pages compiled in, by its path: its bytes and type.
struct TBandPage {
    QByteArray Bytes;
    QByteArray Type;
};
std::optional<TBandPage> BandPageOfPath(const QByteArray &path);

// The number a command's body names, {"<name>": 0 to last} and nothing else.
std::optional<int> BandNumberOfBody(const QByteArray &body, const char *name, int last);
// The show a remote opens: {"show": 0 to 16383}.
inline constexpr int BandLastShow = 16383;
std::optional<int> BandShowOfBody(const QByteArray &body);

// {"value": N} with N a whole number from 0 to 127, and nothing else.
std::optional<int> BandValueOfBody(const QByteArray &body);

} // namespace tarvello
