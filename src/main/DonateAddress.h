#pragma once

#include <QString>

namespace tarvello {

// The donation page the donate button on the settings page opens in the
// desktop's browser: the one place where a maintainer sets the address of the
// payment service's page that collects for the project.
inline const QString DonateAddress =
    QStringLiteral("https://tarvello.example/donate?item_name=Tarvello%20development");

} // namespace tarvello
