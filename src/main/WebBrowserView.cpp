#include "main/WebBrowserView.h"

#include <QFileInfo>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace tarvello {

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
        layout()->addWidget(Browser);
    }
    return Browser;
}

QUrl TWebBrowserView::UrlOfReference(const QString &reference)
{
    if (reference.contains(QStringLiteral("//"))) {
        return QUrl::fromUserInput(reference);
    }
    return QUrl::fromLocalFile(QFileInfo(reference).absoluteFilePath());
}

void TWebBrowserView::Navigate(const QString &reference)
{
    EnsureBrowser()->setUrl(UrlOfReference(reference));
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

} // namespace tarvello
