#pragma once

#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace tarvello::test {

// A page in the real browser (Qt WebEngine, off screen) with a fresh profile:
// nothing kept from an earlier page, no key in its storage.
class TBrowserPage {
public:
    TBrowserPage() = default;
    TBrowserPage(const TBrowserPage &) = delete;
    TBrowserPage &operator=(const TBrowserPage &) = delete;

    // Loads `url` and waits until it has loaded; false when it did not.
    bool Load(const QUrl &url, int milliseconds = 30000);
    // Runs `code` in the page's own scripts' world and gives its result as text.
    QString Run(const QString &code);
    QWebEnginePage &Page() { return View; }

private:
    QWebEngineProfile Profile;
    QWebEnginePage View{&Profile};
};

} // namespace tarvello::test
