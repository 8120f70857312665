#include "core/ErrorText.h"

#include "core/TarvelloError.h"

#include <exception>

namespace tarvello {

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

QString StageErrorText(int slot, const QString &stored, std::exception_ptr error)
{
    return ErrorBoxText(QStringLiteral("Slot %1 (%2): %3")
                            .arg(QString::number(slot), stored, ErrorMessageOf(error)));
}

QString ErrorMessageOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const TError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

} // namespace tarvello
