#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

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
    // Scrolled to the page's top, and to its end (a page that fits is at
    // both), as the engine last reported; a page still loading is at its top.
    bool AtTop() const;
    bool AtEnd() const;
    // The page shown from its end, once it has loaded.
    void ShowEnd();

    // Where the page stands, for autoscroll. `MovedByHand` is set when the
    // page was scrolled by anything but AutoScrollStep since its last call,
    // and on the first call in a new page; such a step does not scroll.
    struct TPageScroll {
        bool Valid = false;
        double Position = 0; // CSS pixels from the top
        double Range = 0;    // how far the page can scroll
        bool MovedByHand = false;
    };
    // Scrolls the page to `position` when `move` is set, and reports where it
    // stands afterwards; `done` is called later, on this thread.
    void AutoScrollStep(double position, bool move, std::function<void(TPageScroll)> done);
    // A page is shown and no navigation is under way: scripts reach the page
    // that is to be read, not the one before it.
    bool PageReady() const { return Browser != nullptr && !Loading; }

    bool IsCreated() const { return Browser != nullptr; }
    // Creates the engine when needed; tests and benchmarks watch its loading.
    QWebEngineView *EnsureBrowser();

    static QUrl UrlOfReference(const QString &reference);

signals:
    // The page was scrolled; 0 at the top to 1 at the end.
    void Scrolled(double fraction);

private:
    void RunScript(const QString &script);
    // How far the page can scroll, in its own (CSS) pixels.
    double ScrollRange() const;

    QWebEngineView *Browser = nullptr;
    bool Loading = false;
    bool EndWanted = false;
};

} // namespace tarvello
