#include "support/BrowserPage.h"

#include "support/BandClient.h"

#include <QVariant>

#include <memory>
#include <optional>

namespace tarvello::test {

bool TBrowserPage::Load(const QUrl &url, int milliseconds)
{
    bool loaded = false;
    const QMetaObject::Connection heard =
        QObject::connect(&View, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    View.load(url);
    const bool done = WaitUntil([&] { return loaded; }, milliseconds);
    QObject::disconnect(heard);
    return done;
}

QString TBrowserPage::Run(const QString &code)
{
    // Shared with the callback, which may come after a wait that gave up.
    auto result = std::make_shared<std::optional<QString>>();
    View.runJavaScript(code, [result](const QVariant &value) { *result = value.toString(); });
    WaitUntil([&] { return result->has_value(); });
    return result->value_or(QString());
}

} // namespace tarvello::test
