#pragma once

#include <QString>

#include <stdexcept>

namespace tarvello {

// The program's failures are exceptions that carry the text the operator sees in
// the error box.
class TError : public std::runtime_error {
public:
    explicit TError(const QString &message)
        : std::runtime_error(message.toStdString()), Message(message)
    {
    }
    const QString &message() const noexcept { return Message; }

private:
    QString Message;
};

// A file that could not be written: the message the error box shows, and the
// system's word for the cause ("No space left on device"), for the places
// that tell the operator why.
class TWriteError : public TError {
public:
    TWriteError(const QString &message, const QString &cause) : TError(message), Why(cause) {}
    const QString &cause() const noexcept { return Why; }

private:
    QString Why;
};

} // namespace tarvello
