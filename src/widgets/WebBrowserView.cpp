#include "widgets/WebBrowserView.h"

#include <QFileInfo>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <algorithm>
#include <utility>

namespace tarvello {
namespace {

// The stage's page never stops the show with a script's dialog: an alert,
// a question or a prompt on a page is answered at once, as if dismissed.
class TStagePage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl &, const QString &) override {}
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override
    {
        return false;
    }
};

} // namespace

TWebBrowserView::TWebBrowserView(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QWebEngineView *TWebBrowserView::EnsureBrowser()
{
    if (!Browser) {
        Browser = new QWebEngineView(this);
        Browser->setObjectName(QStringLiteral("webEngine"));
        Browser->setPage(new TStagePage(Browser));
        layout()->addWidget(Browser);
        connect(Browser, &QWebEngineView::loadStarted, this, [this] { Loading = true; });
        connect(Browser, &QWebEngineView::loadFinished, this, [this] {
            Loading = false;
            if (std::exchange(EndWanted, false)) {
                RunScript(QStringLiteral("window.scrollTo(0, document.documentElement.scrollHeight);"));
            }
        });
        connect(Browser->page(), &QWebEnginePage::scrollPositionChanged, this,
                [this](const QPointF &position) {
                    const double range = ScrollRange();
                    emit Scrolled(range > 0 ? std::clamp(position.y() / range, 0.0, 1.0) : 0.0);
                });
    }
    return Browser;
}

QUrl TWebBrowserView::UrlOfReference(const QString &reference)
{
    if (reference.contains(QStringLiteral("//"))) {
        // A slot's text never runs as a script in the stage's page: only
        // addresses that lead to a page are followed.
        const QUrl url = QUrl::fromUserInput(reference);
        static const QStringList pages{QStringLiteral("http"), QStringLiteral("https"),
                                       QStringLiteral("file"), QStringLiteral("ftp")};
        return pages.contains(url.scheme().toLower()) ? url : QUrl(QStringLiteral("about:blank"));
    }
    return QUrl::fromLocalFile(QFileInfo(reference).absoluteFilePath());
}

void TWebBrowserView::Navigate(const QString &reference)
{
    EndWanted = false;
    EnsureBrowser()->setUrl(UrlOfReference(reference));
    // The engine reports the start later; until then scripts would still
    // run in the page that is going away.
    Loading = true;
}

double TWebBrowserView::ScrollRange() const
{
    // Both in the page's own (CSS) pixels.
    return Browser->page()->contentsSize().height() - Browser->height() / Browser->zoomFactor();
}

bool TWebBrowserView::AtTop() const
{
    return !Browser || Loading || Browser->page()->scrollPosition().y() < 1;
}

bool TWebBrowserView::AtEnd() const
{
    if (!Browser || Loading) {
        return false;
    }
    return Browser->page()->scrollPosition().y() >= ScrollRange() - 1;
}

void TWebBrowserView::ShowEnd()
{
    if (!Browser) {
        return;
    }
    if (Loading) {
        EndWanted = true;
    } else {
        RunScript(QStringLiteral("window.scrollTo(0, document.documentElement.scrollHeight);"));
    }
}

void TWebBrowserView::Stop()
{
    if (Browser) {
        Browser->stop();
    }
}

void TWebBrowserView::RunScript(const QString &script)
{
    if (Browser) {
        Browser->page()->runJavaScript(script);
    }
}

// Chromium's own scroll bar steps: 40 pixels for an arrow, seven eighths of
// the visible height for the track.
void TWebBrowserView::ScrollLine(int direction)
{
    RunScript(QStringLiteral("window.scrollBy(0, %1);").arg(direction < 0 ? -40 : 40));
}

void TWebBrowserView::ScrollPage(int direction)
{
    RunScript(QStringLiteral("window.scrollBy(0, %1 * Math.max(40, window.innerHeight * 0.875));")
                  .arg(direction < 0 ? -1 : 1));
}

// The script keeps the position it left the page at in its own world, so a
// scroll by the wheel, the scroll bar or a scroll command shows as a
// difference, and a new page as a position not yet kept.
void TWebBrowserView::AutoScrollStep(double position, bool move,
                                     std::function<void(TPageScroll)> done)
{
    if (!Browser) {
        done(TPageScroll());
        return;
    }
    static const QString script = QStringLiteral(
        "(function (y, move) {"
        "  var w = window, d = document.documentElement, b = document.body;"
        "  var height = Math.max(d ? d.scrollHeight : 0, b ? b.scrollHeight : 0);"
        "  var range = Math.max(0, height - w.innerHeight);"
        "  var hand = w.__tarvelloY === undefined || Math.abs(w.scrollY - w.__tarvelloY) > 1;"
        "  if (move && !hand) w.scrollTo({top: y, left: w.scrollX, behavior: 'instant'});"
        "  w.__tarvelloY = w.scrollY;"
        "  return [w.scrollY, range, hand];"
        "})(%1, %2)");
    const QPointer<TWebBrowserView> self(this);
    Browser->page()->runJavaScript(
        script.arg(position, 0, 'f', 2)
            .arg(move ? QStringLiteral("true") : QStringLiteral("false")),
        QWebEngineScript::ApplicationWorld, [self, done = std::move(done)](const QVariant &result) {
            TPageScroll scroll;
            const QVariantList values = result.toList();
            if (self && values.size() == 3) {
                scroll.Valid = true;
                scroll.Position = values[0].toDouble();
                scroll.Range = values[1].toDouble();
                scroll.MovedByHand = values[2].toBool();
            }
            done(scroll);
        });
}

} // namespace tarvello
