#include "band/BandKey.h"

namespace tarvello {

bool AuthorizedByKey(const QByteArray &authorization, const QByteArray &key)
{
    static const QByteArray scheme = QByteArrayLiteral("bearer ");
    if (key.isEmpty() || !authorization.left(scheme.size()).toLower().startsWith(scheme)) {
        return false;
    }
    const QByteArray given = authorization.mid(scheme.size()).trimmed();
    unsigned difference = given.size() == key.size() ? 0U : 1U;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char g = i < given.size() ? given[i] : '\0';
        difference |= unsigned(static_cast<unsigned char>(g ^ key[i]));
    }
    return difference == 0;
}

} // namespace tarvello
