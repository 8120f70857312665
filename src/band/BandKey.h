#pragma once

#include <QByteArray>

namespace tarvello {

// Whether an Authorization header carries the key ("Bearer <key>"). The
// comparison takes the same time wherever the first difference lies, so the
// key cannot be guessed one character at a time from the answers' timing.
bool AuthorizedByKey(const QByteArray &authorization, const QByteArray &key);

} // namespace tarvello
