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

} // namespace tarvello
