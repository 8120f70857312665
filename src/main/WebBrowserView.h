#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace tarvello {

// The browser of the Lyric page for web addresses, HTML pages and pictures.
// The web engine is large, so it is made only when a slot first needs it;
// until then stopping and scrolling have nothing to act on.
class TWebBrowserView : public QWidget {
    Q_OBJECT

public:
    explicit TWebBrowserView(QWidget *parent = nullptr);

    // A reference is a local file path (absolute or relative to the current
    // directory) or a web address.
    void Navigate(const QString &reference);
    void Stop();
    // Steps of the vertical scroll bar: one line or one page, down for a
    // positive direction.
    void ScrollLine(int direction);
    void ScrollPage(int direction);

    bool IsCreated() const { return Browser != nullptr; }
    // Creates the engine when needed; tests and benchmarks watch its loading.
    QWebEngineView *EnsureBrowser();

    static QUrl UrlOfReference(const QString &reference);

private:
    void RunScript(const QString &script);

    QWebEngineView *Browser = nullptr;
};

} // namespace tarvello
