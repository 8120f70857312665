#include "common/ErrorText.h"

namespace tarvello {

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

}  // namespace tarvello
